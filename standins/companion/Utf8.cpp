#include "Utf8.h"

namespace zk {

namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool DecodeUtf8(std::string_view utf8, std::wstring& utf16) {
  utf16.clear();
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t extra = 0;
    char32_t c = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
      c = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, c = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, c = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, c = lead & 0x07, smallest = 0x10000;
    } else {
      return false;  // continuation byte, C0/C1 (always overlong) or F5..FF
    }
    if (utf8.size() - i - 1 < extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) return false;
    if (c >= 0x10000) {
      c -= 0x10000;
      utf16 += static_cast<wchar_t>(0xD800 + (c >> 10));
      utf16 += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
      utf16 += static_cast<wchar_t>(c);
    }
    i += 1 + extra;
  }
  return true;
}

std::string EncodeUtf8(std::wstring_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char32_t unit = static_cast<char16_t>(utf16[i]);
    if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(static_cast<char16_t>(utf16[i + 1]))) {
      const char32_t low = static_cast<char16_t>(utf16[i + 1]);
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace zk
