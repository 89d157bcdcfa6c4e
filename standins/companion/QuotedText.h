// The double-quoted text form shared by scenario files and the transcript:
//   "plain UTF-8, with \" \\ \n \r \t and \uXXXX (any UTF-16 unit, lone surrogates included)"
// QuoteText writes what ReadQuotedText reads back unit for unit.
#pragma once

#include <string>
#include <string_view>

namespace zk {

// Quotes and escapes UTF-16 text. Control characters and lone surrogates are written as \uXXXX,
// so the result is always one line of valid UTF-8.
std::string QuoteText(std::wstring_view text);

// Reads one quoted text starting at line[pos] (which must be '"') and leaves pos after the closing quote.
// On failure returns false with a reason in error; pos is then unspecified.
bool ReadQuotedText(std::string_view line, size_t& pos, std::wstring& text, std::string& error);

}  // namespace zk
