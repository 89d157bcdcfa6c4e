#include "ReportText.h"

#include <cstdio>

namespace {

bool Printable(uint32_t code) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    const uint32_t character = (code >> shift) & 0xFF;
    if (character < 0x20 || character > 0x7E) return false;
  }
  return true;
}

std::string Spelled(uint32_t code) {
  std::string text = "'";
  for (int shift = 24; shift >= 0; shift -= 8) text += char((code >> shift) & 0xFF);
  return text + "'";
}

std::string Hex32(uint32_t value) {
  char text[16] = {};
  std::snprintf(text, sizeof text, "0x%08X", unsigned(value));
  return text;
}

}  // namespace

std::string StatusText(int32_t status) {
  if (status != 0 && Printable(uint32_t(status))) return Spelled(uint32_t(status)) + " (" + Hex32(uint32_t(status)) + ")";
  return std::to_string(status);
}

std::string CodeText(uint32_t code) { return Printable(code) ? Spelled(code) : Hex32(code); }

std::string HexBytes(const std::string& bytes) {
  std::string text;
  char digits[4] = {};
  for (const char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", unsigned(uint8_t(byte)));
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}

std::string HexUnits(const std::u16string& units) {
  std::string text;
  char digits[8] = {};
  for (const char16_t unit : units) {
    std::snprintf(digits, sizeof digits, "%04X", unsigned(unit));
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}
