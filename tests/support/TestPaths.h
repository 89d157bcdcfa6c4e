// Where the built programs and the module lie, seen from a running test.
#pragma once

#include <string>

std::wstring TestProgramFolder();  // the folder of the running test program
std::wstring PluginsFolder();      // the plug-ins folder beside it
std::wstring ModulePath();         // the module in that folder
