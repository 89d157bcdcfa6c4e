#include "DocumentPngFiles.h"

#include "DocumentImage.h"
#include "ImageFiles.h"
#include "TextConvert.h"

#include <cwctype>
#include <filesystem>

namespace zk {
namespace {

bool IsDeviceName(std::wstring stem) {
  for (wchar_t& c : stem) c = wchar_t(std::towupper(c));
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL"};
  for (const wchar_t* device : kDevices) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
         stem[3] >= L'1' && stem[3] <= L'9';
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(std::towlower(c));
  return text;
}

bool EndsWithPng(const std::wstring& name) {
  return name.size() >= 4 && Lower(name.substr(name.size() - 4)) == L".png";
}

}  // namespace

std::wstring PngFileNameForTitle(const std::string& title, uint32_t id, std::set<std::wstring>* used) {
  std::wstring name = Utf8ToWide(title);
  for (wchar_t& c : name) {
    if (c < 32 || std::wstring(L"<>:\"/\\|?*").find(c) != std::wstring::npos) c = L'_';
  }
  while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
  if (EndsWithPng(name)) name.resize(name.size() - 4);
  if (name.empty()) name = L"document";
  if (IsDeviceName(name.substr(0, name.find(L'.')))) name.insert(0, L"_");
  std::wstring file = name + L".png";
  if (used->count(Lower(file))) file = name + L" (id " + std::to_wstring(id) + L").png";
  used->insert(Lower(file));
  return file;
}

std::vector<WrittenDocument> WriteDocumentsAsPng(const DocumentModel& documents, const std::wstring& folder) {
  std::vector<WrittenDocument> written;
  std::error_code failure;
  std::filesystem::create_directories(std::filesystem::path(folder), failure);
  std::set<std::wstring> used;
  for (const HostDocument& document : documents.Documents()) {
    WrittenDocument file{document.title, folder + L"\\" + PngFileNameForTitle(document.title, document.id, &used), {}};
    ImagePixels image;
    const int32_t depth = document.depth == 16 ? 16 : 8;
    if (DocumentPixels(document, depth, &image, &file.error)) WritePngFile(file.path, image, &file.error);
    written.push_back(std::move(file));
  }
  return written;
}

}  // namespace zk
