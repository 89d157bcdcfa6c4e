// Where the built programs and the module lie, seen from a running test.
#pragma once

#include <string>

std::wstring TestProgramFolder();  // the folder of the running test program
std::wstring PluginsFolder();      // the plug-ins folder beside it
std::wstring ModulePath();         // the module in that folder

// Makes a file whose full path is exactly length characters long, below folder (a path without
// the extended-length prefix, however long: its folders are made through that prefix). Empty when
// the folder's path leaves no room for a name.
std::wstring FileOfPathLength(const std::wstring& folder, size_t length);
