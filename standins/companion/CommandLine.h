// The pipe name suffix on the command line the plug-in starts us with:
//   C:\Program Files\Some Dir\ZentrastKolvane.exe -s  ZentrastKolvane5120
// The path is not quoted and may hold blanks, so argv would split it on Windows (Wine re-quotes it).
// The whole line is read instead: the suffix is what follows the last " -s ", without surrounding blanks.
#pragma once

#include <string>
#include <string_view>

namespace zk {

// Empty when the line has no " -s " or nothing but blanks after it.
std::wstring PipeSuffixFromCommandLine(std::wstring_view commandLine);

}  // namespace zk
