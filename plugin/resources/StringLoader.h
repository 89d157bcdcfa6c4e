// Strings of the module's string table; a missing string gives the empty text.
#pragma once

#include <string>

std::string LoadModuleString(unsigned id);    // 8-bit, in the thread's ANSI code page
std::wstring LoadModuleStringW(unsigned id);  // as stored (UTF-16)
