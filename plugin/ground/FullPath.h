// The full path Windows resolves a path to, as GetFullPathNameW does: '/' as '\', "." and "..",
// doubled separators, a trailing dot or blank dropped; of any length.
#pragma once

#include <string>

// Empty when the system cannot resolve the path.
std::wstring FullPath(const std::wstring& path);
