#include "QuotedText.h"
#include "Utf8.h"

#include <gtest/gtest.h>

namespace {

struct QuoteCase {
  std::wstring text;
  std::string quoted;
};

TEST(CompanionQuotedText, QuotesEscapesAndReadsBackUnitForUnit) {
  const QuoteCase cases[] = {
      {L"", "\"\""},
      {L"OK", "\"OK\""},
      {L"say \"hi\"", "\"say \\\"hi\\\"\""},
      {L"C:\\raw\\a.nef", "\"C:\\\\raw\\\\a.nef\""},
      {L"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
      {std::wstring(L"nul\0end", 7), "\"nul\\u0000end\""},
      {L"\x7F", "\"\\u007F\""},
      {L"caf\x00E9", "\"caf\xC3\xA9\""},
      {L"\x20AC", "\"\xE2\x82\xAC\""},
      {L"\xD83D\xDE00", "\"\xF0\x9F\x98\x80\""},   // a pair becomes one four-byte character
      {L"\xD800x", "\"\\uD800x\""},                // lone surrogates stay readable and reversible
      {L"x\xDC00", "\"x\\uDC00\""},
      {L"\xDE00\xD83D", "\"\\uDE00\\uD83D\""},     // a reversed pair is two lone units
  };
  for (const QuoteCase& c : cases) {
    SCOPED_TRACE(c.quoted);
    EXPECT_EQ(zk::QuoteText(c.text), c.quoted);
    size_t pos = 0;
    std::wstring back;
    std::string error;
    ASSERT_TRUE(zk::ReadQuotedText(c.quoted, pos, back, error)) << error;
    EXPECT_EQ(back, c.text);
    EXPECT_EQ(pos, c.quoted.size());
  }
}

TEST(CompanionQuotedText, ReadingStopsAtTheClosingQuote) {
  const std::string line = "\"A\\u00e9\" \"B\"";
  size_t pos = 0;
  std::wstring text;
  std::string error;
  ASSERT_TRUE(zk::ReadQuotedText(line, pos, text, error)) << error;
  EXPECT_EQ(text, L"A\x00E9");
  EXPECT_EQ(pos, 9u);
}

struct Utf8Case {
  const char* bytes;
  bool valid;
};

TEST(CompanionUtf8, DecodingRefusesEveryMalformedForm) {
  const Utf8Case cases[] = {
      {"plain", true},
      {"\xC3\xA9", true},
      {"\xF4\x8F\xBF\xBF", true},      // U+10FFFF
      {"\x80", false},                 // stray continuation byte
      {"\xC0\x80", false},             // overlong NUL
      {"\xE0\x80\x80", false},         // overlong
      {"\xED\xA0\x80", false},         // an encoded surrogate
      {"\xF4\x90\x80\x80", false},     // above U+10FFFF
      {"\xE2\x82", false},             // truncated at the end
      {"\xE2\x28\xA1", false},         // bad continuation
      {"\xFF", false},
  };
  for (const Utf8Case& c : cases) {
    std::wstring out;
    EXPECT_EQ(zk::DecodeUtf8(c.bytes, out), c.valid) << testing::PrintToString(std::string(c.bytes));
  }
}

}  // namespace
