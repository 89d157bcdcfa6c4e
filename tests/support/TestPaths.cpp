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
