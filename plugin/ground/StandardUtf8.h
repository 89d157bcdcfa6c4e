// UTF-16 as standard UTF-8, for texts people read (the host check's report) and for the titles
// the host hands out in its 8-bit code page: a surrogate pair becomes one four-byte sequence, an
// unpaired surrogate U+FFFD. (The module's inner texts encode each unit on its own instead, as
// the pipe's peers expect: InnerText.h.)
#pragma once

#include <string>

std::string UnitsToStandardUtf8(const std::u16string& units);
