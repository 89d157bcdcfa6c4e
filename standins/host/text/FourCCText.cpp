#include "FourCCText.h"

#include <cstdio>

namespace zk {

bool IsPrintableFourCC(uint32_t code) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    uint32_t c = (code >> shift) & 0xFF;
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string FourCCText(uint32_t code) {
  char text[16];
  if (IsPrintableFourCC(code)) {
    std::snprintf(text, sizeof text, "'%c%c%c%c'", char(code >> 24), char(code >> 16), char(code >> 8), char(code));
  } else {
    std::snprintf(text, sizeof text, "0x%08X", unsigned(code));
  }
  return text;
}

}  // namespace zk
