// File paths between the module (its inner UTF-8 texts) and the host (aliases): from and to UTF-16
// through the host's alias suite where the host offers it, as 8-bit text in the ANSI code page
// where it does not. (Whether two paths name the same file: SameFile.h.)
#pragma once

#include <string>

#include "HostObjectOwners.h"
#include "ModuleStatus.h"

// Makes a new alias naming path, for the host to read: from its UTF-16 form through the alias
// suite, else as 8-bit text in the ANSI code page. 0, the host's status, kPathNotText (a zero in
// the path) or kPathNotCarried (without the suite, a character the code page lacks); the holder
// holds the alias only on 0.
int32_t MakePathAlias(const std::string& path, HostHandleHolder& alias);

// The alias suite's UTF-16 path of an alias, read into a buffer that holds any path: 0 and the path
// up to its terminator; the host's status; kSPSuiteNotFoundError when the host has no alias suite;
// kPathNotTerminated when the host ended no path in the buffer (its path is then never given cut).
int32_t AliasUnicodePath(Handle alias, std::u16string* path);

// The file path of an alias the host handed out, as inner text. False when it names no file (a
// cloud document's alias), or its whole path cannot be read: a path is never cut. Without the
// alias suite the 8-bit path is a file's only when that file exists: where the code page lacks a
// character the system put '?' or a look-alike in its place (a plain L for an L with stroke), and
// such a path names no file, or another one.
bool AliasFilePath(Handle alias, std::string* path);
