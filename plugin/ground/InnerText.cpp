#include "InnerText.h"

void AppendUnitToInnerText(std::string& out, uint16_t unit) {
  if (unit < 0x80) {
    out.push_back(char(unit));
  } else if (unit < 0x800) {
    out.push_back(char(0xC0 | (unit >> 6)));
    out.push_back(char(0x80 | (unit & 0x3F)));
  } else {
    out.push_back(char(0xE0 | (unit >> 12)));
    out.push_back(char(0x80 | ((unit >> 6) & 0x3F)));
    out.push_back(char(0x80 | (unit & 0x3F)));
  }
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one well-formed sequence at text[at]; false when there is none.
bool DecodeOne(const std::string& text, size_t at, uint32_t& value, size_t& length) {
  const auto lead = static_cast<unsigned char>(text[at]);
  uint32_t minimum = 0;
  if (lead < 0x80) {
    value = lead;
    length = 1;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    value = lead & 0x1F;
    length = 2;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    value = lead & 0x0F;
    length = 3;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    value = lead & 0x07;
    length = 4;
    minimum = 0x10000;
  } else {
    return false;
  }
  if (at + length > text.size()) return false;
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[at + i]);
    if (!IsContinuation(byte)) return false;
    value = (value << 6) | (byte & 0x3F);
  }
  return value >= minimum && value <= 0x10FFFF;  // no overlong forms, nothing past the last plane
}

// Decodes the whole text; a bad byte becomes U+FFFD, or ends decoding with false when strict.
bool DecodeUtf8(const std::string& text, bool strict, std::u16string& units) {
  units.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    uint32_t value = 0;
    size_t length = 0;
    if (!DecodeOne(text, at, value, length)) {
      if (strict) return false;
      units.push_back(kReplacement);
      ++at;
      continue;
    }
    if (value > 0xFFFF) {
      value -= 0x10000;
      units.push_back(char16_t(0xD800 | (value >> 10)));
      units.push_back(char16_t(0xDC00 | (value & 0x3FF)));
    } else {
      units.push_back(char16_t(value));
    }
    at += length;
  }
  return true;
}

}  // namespace

std::string UnitsToInnerText(const char16_t* units, size_t unitCount) {
  std::string out;
  out.reserve(unitCount);
  for (size_t i = 0; i < unitCount; ++i) AppendUnitToInnerText(out, uint16_t(units[i]));
  return out;
}

std::string WideToInnerText(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (const wchar_t unit : text) AppendUnitToInnerText(out, uint16_t(unit));
  return out;
}

std::u16string InnerTextToUnits(const std::string& text) {
  std::u16string units;
  DecodeUtf8(text, false, units);
  return units;
}

std::wstring InnerTextToWide(const std::string& text) {
  const std::u16string units = InnerTextToUnits(text);
  return std::wstring(units.begin(), units.end());
}

bool InnerTextToUnitsStrict(const std::string& text, std::u16string* units) {
  units->clear();
  return DecodeUtf8(text, true, *units);
}
