// Which encoding an 8-bit text the host handed out is in (a title, the text at a file reference's
// start), told by comparing it with the same text's whole form, which the host hands out too: the
// ZString form of a text, the alias suite's UTF-16 path of an alias.
#pragma once

#include <string>

// One of: "ASCII only, cannot tell", "the ANSI code page", "UTF-8", "UTF-8, the ANSI code page here",
// "the ANSI code page, characters it lacks replaced", "neither the ANSI code page nor UTF-8".
std::string NarrowTextEncoding(const std::string& bytes, const std::u16string& whole);
