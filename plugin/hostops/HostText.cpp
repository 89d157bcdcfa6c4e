#include "HostText.h"

#include <windows.h>

#include <climits>

#include "InnerText.h"
#include "StandardUtf8.h"

namespace {

std::wstring Decode(UINT codePage, DWORD flags, const std::string& text, bool* ok) {
  const int units = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
  *ok = units > 0;
  if (!*ok) return std::wstring();
  std::wstring wide(size_t(units), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), &wide[0], units);
  return wide;
}

// Units in the ANSI code page with the system's flags; false when the system cannot convert them,
// or when lost is asked for and the code page lacks one of them.
bool EncodeAnsi(const std::u16string& units, DWORD flags, BOOL* lost, std::string* ansi) {
  const std::wstring wide(units.begin(), units.end());
  const int bytes = WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, lost);
  if (bytes <= 0 || (lost != nullptr && *lost)) return false;
  ansi->assign(size_t(bytes), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), &(*ansi)[0], bytes, nullptr, lost);
  return lost == nullptr || !*lost;
}

// The system's conversions count in int, and a unit may take three bytes (or a byte a unit).
bool Countable(size_t size) { return size <= size_t(INT_MAX) / 3; }

}  // namespace

std::string HostTextToUtf8(const std::string& text) {
  bool ok = false;
  // A text the system's conversions cannot count is passed on as it is, never cut.
  if (text.empty() || !Countable(text.size())) return text;
  Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text, &ok);
  if (ok) return text;
  const std::wstring wide = Decode(CP_ACP, 0, text, &ok);
  if (!ok) return text;
  return UnitsToStandardUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string AnsiTextToInnerText(const std::string& text) {
  bool ok = false;
  if (text.empty() || !Countable(text.size())) return std::string();
  return WideToInnerText(Decode(CP_ACP, 0, text, &ok));
}

bool InnerTextToAnsiText(const std::string& text, std::string* ansi) {
  ansi->clear();
  std::u16string units;
  if (!Countable(text.size()) || !InnerTextToUnitsStrict(text, &units) || units.find(u'\0') != std::u16string::npos) {
    return false;
  }
  if (units.empty()) return true;
  // No best fit: a character the code page lacks must show as missing, never as another letter.
  // A UTF-8 code page takes neither that flag nor the question; it fails on what it cannot hold.
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL lost = FALSE;
  return EncodeAnsi(units, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, utf8 ? nullptr : &lost, ansi);
}

std::string AnsiTextAsSystemConverts(const std::u16string& units) {
  std::string ansi;
  if (units.empty() || !Countable(units.size())) return ansi;
  if (!EncodeAnsi(units, 0, nullptr, &ansi)) ansi.clear();
  return ansi;
}
