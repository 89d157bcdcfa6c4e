// Conversions between the texts of the host interface (8-bit, UTF-16) and UTF-8.
#pragma once

#include <string>

namespace zk {

std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// 8-bit text of the system's ANSI code page (how a property list's menu name is written).
std::u16string AnsiToUtf16(const std::string& text);

}  // namespace zk
