#include "CompanionInstall.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "WindowsOwners.h"

namespace {

// Deletes a folder and all it holds. Entry by entry through the "\\?\" form: some tests make
// folders deeper than the classic path limit on purpose, and the shell's delete gives up on those,
// leaving the scratch folder (and its transcript) to the next test that gets the same process id.
void RemoveTree(const std::wstring& folder) {
  const std::wstring root = folder.rfind(L"\\\\?\\", 0) == 0 ? folder : L"\\\\?\\" + folder;
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW((root + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = root + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(root.c_str());
}

void PlaceExecutable(const std::wstring& folder, const std::wstring& source) {
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  const std::wstring target = folder + L"\\ZentrastKolvane.exe";
  if (!source.empty()) {
    CopyFileW(source.c_str(), target.c_str(), FALSE);
  } else {
    const UniqueFile file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &bytes[0], size, nullptr, nullptr);
  return bytes;
}

CompanionInstall::CompanionInstall() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  scratch = std::wstring(temp) + L"zk-install-" + std::to_wstring(GetCurrentProcessId());
  RemoveAll();
  SHCreateDirectoryExW(nullptr, scratch.c_str(), nullptr);
}

CompanionInstall::~CompanionInstall() { RemoveAll(); }

void CompanionInstall::RemoveAll() {
  RegDeleteKeyA(HKEY_CURRENT_USER, kTestRegistryKey);
  RemoveTree(kTestDefaultFolder);
  RemoveTree(scratch);
}

void CompanionInstall::CreateKey() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kTestRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
      ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

void CompanionInstall::SetPath(const std::string& bytes, DWORD type) {
  CreateKey();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestRegistryKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegSetValueExA(key, "Path", 0, type, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()));
  RegCloseKey(key);
}

bool CompanionInstall::ReadPath(std::string* bytes) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  bool found = RegQueryValueExA(key, "Path", nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
  if (found) {
    bytes->assign(size, '\0');
    found = RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(&(*bytes)[0]), &size) == ERROR_SUCCESS;
    bytes->resize(size);
  }
  RegCloseKey(key);
  return found;
}

bool CompanionInstall::KeyExists() const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::wstring CompanionInstall::MakeFolder(const std::wstring& name, const std::wstring& source) {
  const std::wstring folder = scratch + L"\\" + name;
  PlaceExecutable(folder, source);
  return folder;
}

void CompanionInstall::InstallInDefaultFolder(const std::wstring& source) { PlaceExecutable(kTestDefaultFolder, source); }
