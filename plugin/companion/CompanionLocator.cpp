#include "CompanionLocator.h"

#include <commdlg.h>

#include "InnerText.h"
#include "ModuleActivationContext.h"
#include "ResourceIds.h"
#include "StringLoader.h"
#include "WindowsOwners.h"

namespace {

// The companion's key under the current user, or an empty owner when it cannot be opened.
UniqueRegistryKey OpenCompanionKey(REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kCompanionRegistryKey, 0, access, &key) != ERROR_SUCCESS) return {};
  return UniqueRegistryKey(key);
}

bool ExecutableIn(const std::wstring& folder) {
  return GetFileAttributesW((folder + L"\\" + CompanionExeName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The remembered folder. A value that does not fit the read, or is not UTF-8, counts as absent:
// a cut or garbled folder could name another program's folder.
bool ReadRememberedFolder(std::wstring* folder) {
  const UniqueRegistryKey key = OpenCompanionKey(KEY_READ);
  if (!key) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.Get(), kCompanionRegistryValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ || size > kLongestRegistryValue) {
    return false;
  }
  std::string bytes(size, '\0');
  DWORD read = size;
  if (RegQueryValueExA(key.Get(), kCompanionRegistryValue, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]),
                       &read) != ERROR_SUCCESS ||
      type != REG_SZ || read > size) {
    return false;
  }
  bytes.resize(read);
  if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  std::u16string units;
  if (!InnerTextToUnitsStrict(bytes, &units)) return false;
  folder->assign(units.begin(), units.end());
  return true;
}

using OpenFileDialogProc = BOOL(WINAPI*)(LPOPENFILENAMEW);

// Looked up in the system's common dialog library at first use.
OpenFileDialogProc OpenFileDialog() {
  static const OpenFileDialogProc procedure = [] {
    HMODULE library = LoadLibraryW(L"comdlg32.dll");
    FARPROC found = library != nullptr ? GetProcAddress(library, "GetOpenFileNameW") : nullptr;
    return reinterpret_cast<OpenFileDialogProc>(reinterpret_cast<void*>(found));
  }();
  return procedure;
}

}  // namespace

std::wstring FindCompanionFolder() {
  std::wstring folder;
  if (ReadRememberedFolder(&folder) && ExecutableIn(folder)) return folder;
  folder = kDefaultCompanionFolder;
  return ExecutableIn(folder) ? folder : std::wstring();
}

void RememberCompanionFolder(const std::wstring& folder) {
  const UniqueRegistryKey key = OpenCompanionKey(KEY_WRITE);
  if (!key) return;  // never created here: the installer owns the key
  const std::string bytes = WideToInnerText(folder);
  RegSetValueExA(key.Get(), kCompanionRegistryValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.c_str()),
                 DWORD(bytes.size() + 1));
}

std::wstring BrowseForCompanionFolder(HWND owner) {
  wchar_t file[520] = L"ZentrastKolvane.exe";
  const std::wstring title = LoadModuleStringW(IDS_BROWSE_PROMPT);
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = L"Zentrast Kolvane\0*ZentrastKolvane.exe\0";
  request.lpstrFile = file;
  request.nMaxFile = 520;
  request.lpstrTitle = title.c_str();
  request.Flags = OFN_FILEMUSTEXIST | OFN_DONTADDTORECENT;

  {
    ModuleActivationScope scope;
    const OpenFileDialogProc openFileDialog = OpenFileDialog();
    if (!scope.Active() || openFileDialog == nullptr || !openFileDialog(&request)) return std::wstring();
  }
  std::wstring folder = file;
  const size_t lastBackslash = folder.rfind(L'\\');
  if (lastBackslash != std::wstring::npos && lastBackslash > 0) folder.resize(lastBackslash);
  RememberCompanionFolder(folder);
  return folder;
}
