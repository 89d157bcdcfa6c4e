#include "HostText.h"

#include <windows.h>

#include <climits>

#include "InnerText.h"

namespace {

std::wstring Decode(UINT codePage, DWORD flags, const std::string& text, bool* ok) {
  const int units = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
  *ok = units > 0;
  if (!*ok) return std::wstring();
  std::wstring wide(size_t(units), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), &wide[0], units);
  return wide;
}

// The system's conversions count in int, and a unit may take three bytes.
bool Countable(const std::string& text) { return text.size() <= size_t(INT_MAX) / 3; }

}  // namespace

std::string HostTextToUtf8(const std::string& text) {
  bool ok = false;
  // A text the system's conversions cannot count is passed on as it is, never cut.
  if (text.empty() || !Countable(text)) return text;
  Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text, &ok);
  if (ok) return text;
  const std::wstring wide = Decode(CP_ACP, 0, text, &ok);
  if (!ok) return text;
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

std::string AnsiTextToInnerText(const std::string& text) {
  bool ok = false;
  if (text.empty() || !Countable(text)) return std::string();
  const std::wstring wide = Decode(CP_ACP, 0, text, &ok);
  const std::u16string units(wide.begin(), wide.end());
  return UnitsToInnerText(units.data(), units.size());
}

bool InnerTextToAnsiText(const std::string& text, std::string* ansi) {
  ansi->clear();
  std::u16string units;
  if (!Countable(text) || !InnerTextToUnitsStrict(text, &units) || units.find(u'\0') != std::u16string::npos) {
    return false;
  }
  if (units.empty()) return true;
  const std::wstring wide(units.begin(), units.end());
  // No best fit: a character the code page lacks must show as missing, never as another letter.
  // A UTF-8 code page takes neither that flag nor the question; it fails on what it cannot hold.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lost = FALSE;
  BOOL* const lostOut = utf8 ? nullptr : &lost;
  const int bytes = WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, lostOut);
  if (bytes <= 0 || lost) return false;
  ansi->assign(size_t(bytes), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), &(*ansi)[0], bytes, nullptr, lostOut);
  return !lost;
}
