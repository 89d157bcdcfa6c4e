#include "ReportFile.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "WindowsOwners.h"

namespace {

constexpr wchar_t kReportName[] = L"ZKVHostCheck.txt";

std::wstring SystemText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
    message.pop_back();
  }
  return message + L" (" + std::to_wstring(code) + L")";
}

}  // namespace

std::vector<std::wstring> ReportPaths() {
  std::vector<std::wstring> paths;
  wchar_t folder[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder)) && folder[0] != 0) {
    paths.push_back(std::wstring(folder) + L"\\" + kReportName);
  }
  wchar_t temporary[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  if (length > 0 && length <= MAX_PATH) paths.push_back(std::wstring(temporary) + kReportName);
  return paths;
}

bool WriteReportFile(const std::wstring& path, const std::string& text, std::wstring* error) {
  const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    *error = SystemText(GetLastError());
    return false;
  }
  size_t written = 0;
  while (written < text.size()) {
    const DWORD chunk = DWORD(std::min<size_t>(text.size() - written, 1u << 20));
    DWORD done = 0;
    if (!WriteFile(file.Get(), text.data() + written, chunk, &done, nullptr) || done == 0) {
      *error = SystemText(GetLastError());
      return false;
    }
    written += done;
  }
  return true;
}
