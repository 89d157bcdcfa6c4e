#include "HostText.h"

#include <windows.h>

#include <climits>

namespace {

std::wstring Decode(UINT codePage, DWORD flags, const std::string& text, bool* ok) {
  const int units = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
  *ok = units > 0;
  if (!*ok) return std::wstring();
  std::wstring wide(size_t(units), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), &wide[0], units);
  return wide;
}

}  // namespace

std::string HostTextToUtf8(const std::string& text) {
  bool ok = false;
  // The system's conversions count in int, and UTF-8 takes up to three bytes a unit: a text they
  // cannot count is passed on as it is, never cut.
  if (text.empty() || text.size() > size_t(INT_MAX) / 3) return text;
  Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text, &ok);
  if (ok) return text;
  const std::wstring wide = Decode(CP_ACP, 0, text, &ok);
  if (!ok) return text;
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}
