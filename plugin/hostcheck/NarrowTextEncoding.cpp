#include "NarrowTextEncoding.h"

#include <windows.h>

#include <climits>

namespace {

// False when the bytes are not valid text of the code page (strict), or cannot be counted.
bool Decode(UINT codePage, DWORD flags, const std::string& bytes, std::u16string* units) {
  units->clear();
  if (bytes.empty()) return true;
  if (bytes.size() > size_t(INT_MAX)) return false;
  const int count = MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
  if (count <= 0) return false;
  std::wstring wide(size_t(count), L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), &wide[0], count);
  units->assign(wide.begin(), wide.end());
  return true;
}

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
  std::u16string ansi, utf8;
  const bool isAnsi = Decode(CP_ACP, 0, bytes, &ansi) && ansi == whole;
  const bool isUtf8 = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, &utf8) && utf8 == whole;
  if (isAnsi && isUtf8) return AsciiOnly(bytes) ? "ASCII only, cannot tell" : "UTF-8, the ANSI code page here";
  if (isAnsi) return "the ANSI code page";
  if (isUtf8) return "UTF-8";
  if (!bytes.empty() && AnsiTextAsSystemConverts(whole) == bytes) return "the ANSI code page, characters it lacks replaced";
  return "neither the ANSI code page nor UTF-8";
}
