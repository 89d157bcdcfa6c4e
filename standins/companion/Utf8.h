// UTF-8 <-> UTF-16 for scenario files, the command line and the transcript.
#pragma once

#include <string>
#include <string_view>

namespace zk {

// Strict decoding: a stray continuation byte, a bad or missing continuation, an overlong form,
// an encoded surrogate or a value above U+10FFFF make it fail. Characters above U+FFFF become pairs.
bool DecodeUtf8(std::string_view utf8, std::wstring& utf16);

// Pairs become one four-byte sequence; a lone surrogate becomes U+FFFD, so the result is always valid UTF-8.
std::string EncodeUtf8(std::wstring_view utf16);

// Appends the UTF-8 form of one code point (at most U+10FFFF, not a surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace zk
