#include "NarrowTextEncoding.h"

#include <cstdint>

#include "HostText.h"
#include "InnerText.h"

namespace {

bool AsciiOnly(const std::string& bytes) {
  for (const char byte : bytes) {
    if (uint8_t(byte) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string NarrowTextEncoding(const std::string& bytes, const std::u16string& whole) {
  // Read as the module reads the host's 8-bit texts: in the ANSI code page, or as UTF-8.
  const bool isAnsi = AnsiTextToInnerText(bytes) == UnitsToInnerText(whole.data(), whole.size());
  std::u16string utf8;
  const bool isUtf8 = InnerTextToUnitsStrict(bytes, &utf8) && utf8 == whole;
  if (isAnsi && isUtf8) return AsciiOnly(bytes) ? "ASCII only, cannot tell" : "UTF-8, the ANSI code page here";
  if (isAnsi) return "the ANSI code page";
  if (isUtf8) return "UTF-8";
  if (!bytes.empty() && AnsiTextAsSystemConverts(whole) == bytes) return "the ANSI code page, characters it lacks replaced";
  return "neither the ANSI code page nor UTF-8";
}
