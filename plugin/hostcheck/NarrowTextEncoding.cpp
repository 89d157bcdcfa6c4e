#include "NarrowTextEncoding.h"

#include <windows.h>

#include <climits>

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

std::string AnsiTextAsSystemConverts(const std::u16string& whole) {
  if (whole.empty() || whole.size() > size_t(INT_MAX) / 4) return std::string();
  const std::wstring wide(whole.begin(), whole.end());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &ansi[0], bytes, nullptr, nullptr);
  return ansi;
}

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
