#include "TextConvert.h"

#include <windows.h>

namespace zk {
namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], length);
  return wide;
}

std::u16string ToU16(const std::wstring& wide) { return std::u16string(wide.begin(), wide.end()); }

}  // namespace

std::u16string Utf8ToUtf16(const std::string& text) { return ToU16(ToWide(CP_UTF8, text)); }
std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }
std::u16string AnsiToUtf16(const std::string& text) { return ToU16(ToWide(CP_ACP, text)); }

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(size_t(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &narrow[0], length, nullptr, nullptr);
  return narrow;
}

std::string Utf16ToUtf8(const std::u16string& text) { return WideToUtf8(std::wstring(text.begin(), text.end())); }

}  // namespace zk
