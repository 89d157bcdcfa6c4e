#include "FullPath.h"

#include <windows.h>

#include <vector>

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::vector<wchar_t> full(needed + 1, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return std::wstring();
  return std::wstring(full.data(), length);
}
