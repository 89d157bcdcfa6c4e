// Whole lines of UTF-8 bytes to standard output, from any thread. Written as bytes: the C++ wide
// streams of this runtime drop characters outside Latin-1.
#pragma once

#include <string>

namespace zk {

void PrintLine(const std::string& utf8);
void PrintErrorLine(const std::string& utf8);

}  // namespace zk
