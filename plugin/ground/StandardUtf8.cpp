#include "StandardUtf8.h"

#include <windows.h>

#include <climits>

std::string UnitsToStandardUtf8(const std::u16string& units) {
  // The system's conversion counts in int, and a unit may take three bytes.
  if (units.empty() || units.size() > size_t(INT_MAX) / 3) return std::string();
  const std::wstring wide(units.begin(), units.end());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(size_t(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &text[0], bytes, nullptr, nullptr);
  return text;
}
