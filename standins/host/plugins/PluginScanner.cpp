#include "PluginScanner.h"

#include "FourCCText.h"
#include "SystemErrorText.h"
#include "WindowsOwners.h"
#include "TextConvert.h"

#include <windows.h>

#include <algorithm>

namespace zk {
namespace {

constexpr wchar_t kPluginExtension[] = L".8li";

bool HasPluginExtension(const std::wstring& name) {
  size_t n = wcslen(kPluginExtension);
  return name.size() > n && _wcsicmp(name.c_str() + name.size() - n, kPluginExtension) == 0;
}

std::wstring FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The bytes of a resource of a module loaded as data; false when it is missing.
bool ResourceBytes(HMODULE module, const wchar_t* type, int id, const uint8_t** bytes, size_t* size) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return false;
  *bytes = static_cast<const uint8_t*>(data);
  *size = SizeofResource(module, found);
  return true;
}

bool Refuse(const std::wstring& path, const std::string& fault, std::string* error) {
  *error = WideToUtf8(FileNameOf(path)) + ": " + fault;
  return false;
}

}  // namespace

bool ReadPluginRecord(const std::wstring& path, PluginRecord* record, std::string* error) {
  *record = PluginRecord();
  record->path = path;
  const UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module.Get()) {
    return Refuse(path, "cannot be opened as a module (" + SystemErrorText(GetLastError()) + ")", error);
  }
  const uint8_t* bytes = nullptr;
  size_t size = 0;
  if (!ResourceBytes(module.Get(), L"PIPL", kPiplResourceId, &bytes, &size)) {
    return Refuse(path, "has no property list (resource PIPL 16000)", error);
  }
  std::string fault;
  if (!ParsePipl(bytes, size, &record->pipl, &fault)) return Refuse(path, "malformed property list: " + fault, error);
  if (!IsCallableAutomationPlugin(record->pipl, &fault)) return Refuse(path, "skipped: " + fault, error);
  if (!record->pipl.hasTerminology) return true;

  const PiplTerminology& hstm = record->pipl.terminology;
  if (hstm.terminologyId < 0) {
    return Refuse(path, "'hstm' names a negative terminology resource id " + std::to_string(hstm.terminologyId),
                  error);
  }
  if (!ResourceBytes(module.Get(), L"AETE", hstm.terminologyId, &bytes, &size)) {
    return Refuse(path, "'hstm' names terminology resource AETE " + std::to_string(hstm.terminologyId) +
                            ", which the module does not have", error);
  }
  if (!ParseAete(bytes, size, &record->terminology, &fault)) {
    return Refuse(path, "malformed terminology (AETE " + std::to_string(hstm.terminologyId) + "): " + fault, error);
  }
  record->hasTerminology = true;
  const AeteEvent* event = FindAeteEvent(record->terminology, hstm.classId, hstm.eventId);
  if (!event) {
    return Refuse(path, "the terminology has no event of class " + FourCCText(hstm.classId) + " and id " +
                            FourCCText(hstm.eventId) + " that 'hstm' names", error);
  }
  record->eventName = event->name;
  return true;
}

ScanResult ScanPluginFolder(const std::wstring& folder) {
  ScanResult result;
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  WIN32_FIND_DATAW found = {};
  const UniqueFindHandle search(FindFirstFileW((base + L"*").c_str(), &found));
  if (!search) {
    result.folderError = "cannot read the plug-ins folder " + WideToUtf8(folder) + " (" +
                         SystemErrorText(GetLastError()) + ")";
    return result;
  }
  std::vector<std::wstring> names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && HasPluginExtension(found.cFileName)) {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileW(search.Get(), &found));
  std::sort(names.begin(), names.end());
  for (const std::wstring& name : names) {
    PluginRecord record;
    std::string error;
    if (ReadPluginRecord(base + name, &record, &error)) {
      result.plugins.push_back(std::move(record));
    } else {
      result.refusals.push_back({base + name, error});
    }
  }
  return result;
}

}  // namespace zk
