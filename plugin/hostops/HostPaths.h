// File paths between the module (its inner UTF-8 texts) and the host (aliases): from and to UTF-16
// through the host's alias suite where the host offers it, as 8-bit text in the ANSI code page
// where it does not. And paths compared as Windows compares them.
#pragma once

#include <string>

#include "HostObjectOwners.h"

// Orders paths as Windows tells files apart: letter case (ordinal, by the system's upper-case
// table, not by a language's rules) and '/' against '\' make no difference.
struct WindowsPathOrder {
  bool operator()(const std::string& a, const std::string& b) const;
};
bool SameWindowsPath(const std::string& a, const std::string& b);

// The status of MakePathAlias for a path that cannot reach the host as it is: it holds a zero, or
// the host has no alias suite and the ANSI code page cannot hold one of its characters.
constexpr int32_t kPathNotCarried = int32_t(FourCC("Parm"));

// Makes a new alias naming path, for the host to read: from its UTF-16 form through the alias
// suite, else as 8-bit text in the ANSI code page. 0, the host's status, or kPathNotCarried; the
// holder holds the alias only on 0.
int32_t MakePathAlias(const std::string& path, HostHandleHolder& alias);

// The file path of an alias the host handed out, as inner text. False when it names no file (a
// cloud document's alias), or its whole path cannot be read: a path is never cut, and an 8-bit
// path in which the system put '?' for a character it lacks is not taken for the file's.
bool AliasFilePath(Handle alias, std::string* path);
