// Texts the host reads or hands out in 8 bits (document titles, a path's old 8-bit form) and the
// module's own texts (UTF-8): every conversion to and from the system's ANSI code page.
#pragma once

#include <string>

// A text that is valid UTF-8 is taken as it is. Any other is in the system's ANSI code page, as a
// host may hand out narrow texts: decoded from it (losslessly for the single-byte code pages)
// rather than with a replacement character per byte, which would turn a path into one that names
// no file.
std::string HostTextToUtf8(const std::string& text);

// Text in the system's ANSI code page, which is what the host reads and writes in a path's 8-bit
// form, as inner text.
std::string AnsiTextToInnerText(const std::string& text);

// Inner text in the ANSI code page; false when the code page cannot hold one of its characters
// (the system would put '?' or a look-alike in its place, which names another file), or when it
// holds a zero, which would end the text early.
bool InnerTextToAnsiText(const std::string& text, std::string* ansi);

// The text in the ANSI code page as the system converts by default: a character the code page
// lacks becomes a look-alike or '?', which is what a host that converts so hands out.
std::string AnsiTextAsSystemConverts(const std::u16string& units);
