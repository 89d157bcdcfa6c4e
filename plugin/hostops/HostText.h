// Texts the host hands out in 8 bits (document titles, file paths), as the module keeps them: UTF-8.
#pragma once

#include <string>

// A text that is valid UTF-8 is taken as it is. Any other is in the system's ANSI code page, as a
// host may hand out narrow texts: decoded from it (losslessly for the single-byte code pages)
// rather than with a replacement character per byte, which would turn a path into one that names
// no file.
std::string HostTextToUtf8(const std::string& text);
