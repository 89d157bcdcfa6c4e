// Narrow texts from the host become UTF-8 without loss: valid UTF-8 as it is, anything else read
// in the system's ANSI code page (it used to become one U+FFFD per byte, and a path with "ü" then
// named no file).
#include <gtest/gtest.h>

#include <windows.h>

#include "HostText.h"

namespace {

std::string Encoded(UINT codePage, const std::wstring& text) {
  const int bytes = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(bytes), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), &out[0], bytes, nullptr, nullptr);
  return out;
}

TEST(HostText, ValidUtf8StaysAndAnsiTextIsDecoded) {
  const std::wstring texts[] = {L"Harbour.psd", L"C:\\Fotos\\M\u00fcller\\\u00dcberblick.psd", L"caf\u00e9 cr\u00e8me.tif",
                                L"\u00e9t\u00e9"};
  for (const std::wstring& text : texts) {
    SCOPED_TRACE(Encoded(CP_UTF8, text));
    const std::string utf8 = Encoded(CP_UTF8, text);
    EXPECT_EQ(HostTextToUtf8(utf8), utf8) << "valid UTF-8 is unchanged";
    BOOL lossy = FALSE;
    const std::string ansi = [&] {
      const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, &lossy);
      std::string out(size_t(bytes), '\0');
      WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), &out[0], bytes, nullptr, nullptr);
      return out;
    }();
    if (!lossy) {
      EXPECT_EQ(HostTextToUtf8(ansi), utf8) << "the ANSI code page's bytes";
    }
  }
  EXPECT_EQ(HostTextToUtf8(""), "");
}

}  // namespace
