#include "TestPaths.h"

#include <windows.h>

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring PluginsFolder() { return TestProgramFolder() + L"\\plugins"; }

std::wstring ModulePath() { return PluginsFolder() + L"\\ZentrastKolvane.8li"; }

std::wstring FileOfPathLength(const std::wstring& folder, size_t length) {
  constexpr size_t kLongestName = 200;  // well inside the file system's 255
  std::wstring path = folder;
  // Folders of whole names while more than one name's room is left, then the file's own name.
  while (length > path.size() + 1 + kLongestName + 1 + 8) {
    path += L"\\" + std::wstring(kLongestName, L'd');
    CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
  }
  if (length < path.size() + 1 + 5) return std::wstring();
  path += L"\\" + std::wstring(length - path.size() - 1 - 4, L'f') + L".psd";
  const HANDLE file =
      CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::wstring();
  CloseHandle(file);
  return path;
}
