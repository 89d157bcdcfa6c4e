// The random requests: the same request for the same seed and number (a next run goes on with the
// very sequence), framing that breaks now and then, and a reply check that refuses what is wrong.
#include "RandomRequests.h"

#include <gtest/gtest.h>

#include "WireFormat.h"

namespace {

const zk::RandomSegments kSegments{L"image", L"small", L"missing"};

// The messages a reader of the wire finds in the bytes: fields until a count of 0; the bytes after
// the last end marker, if any, stop inside a count or a field.
struct ReadBack {
  std::vector<zk::RandomMessage> messages;
  bool leftOver = false;
};

ReadBack ReadAsThePluginDoes(const std::vector<uint8_t>& bytes) {
  ReadBack back;
  zk::RandomMessage message;
  size_t at = 0;
  while (at + 4 <= bytes.size()) {
    const uint32_t count = zk::DecodeCount(&bytes[at]);
    if (count == 0) {
      at += 4;
      message.end = at;
      back.messages.push_back(message);
      message = zk::RandomMessage();
      continue;
    }
    if (at + 4 + count > bytes.size()) break;
    std::wstring text(count / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = wchar_t(bytes[at + 4 + 2 * i] | bytes[at + 5 + 2 * i] << 8);
    message.fields.push_back(text);
    at += 4 + count;
  }
  back.leftOver = at != bytes.size();
  return back;
}

TEST(CompanionRandomRequests, EachRequestDependsOnlyOnTheSeedAndItsNumber) {
  int breaks = 0, empty = 0;
  size_t longest = 0;
  for (uint64_t number = 0; number < 5000; ++number) {
    const zk::RandomRequest request = zk::MakeRandomRequest(7, number, kSegments);
    ASSERT_EQ(request.bytes, zk::MakeRandomRequest(7, number, kSegments).bytes);
    breaks += request.breaksFraming;
    empty += !request.breaksFraming && request.messages.size() == 1 && request.messages[0].fields.empty();
    longest = std::max<size_t>(longest, request.longestField);
    // The messages the checker expects replies to are exactly those on the wire.
    const ReadBack back = ReadAsThePluginDoes(request.bytes);
    ASSERT_EQ(back.messages.size(), request.messages.size()) << "request " << number;
    for (size_t i = 0; i < back.messages.size(); ++i) {
      EXPECT_EQ(back.messages[i].fields, request.messages[i].fields) << "request " << number;
      EXPECT_EQ(back.messages[i].end, request.messages[i].end) << "request " << number;
    }
    EXPECT_EQ(back.leftOver, request.breaksFraming) << "request " << number;
  }
  EXPECT_NE(zk::MakeRandomRequest(7, 1, kSegments).bytes, zk::MakeRandomRequest(8, 1, kSegments).bytes);
  EXPECT_GT(breaks, 0);
  EXPECT_LT(breaks, 50) << "a run goes on for a while";
  EXPECT_GT(empty, 0) << "end markers alone";
  EXPECT_GT(longest, 30000u);
  EXPECT_LE(longest, 70000u);
}

// Found by a million requests with seed 777: request 207,443 has twelve fields, the fifth of
// length 0. On the wire that count ends the message, so the bytes are two messages and the plug-in
// answers both; a checker that expected one reply matched every later reply to the wrong request.
TEST(CompanionRandomRequests, AFieldOfLengthZeroEndsTheMessageAndTheRestIsAnother) {
  const zk::RandomRequest request = zk::MakeRandomRequest(777, 207443, kSegments);
  ASSERT_EQ(request.messages.size(), 2u);
  EXPECT_FALSE(request.breaksFraming);
  EXPECT_EQ(request.messages[0].fields.size(), 4u);
  EXPECT_EQ(request.messages[1].fields.size(), 7u);
  const size_t firstEnd = request.messages[0].end;
  ASSERT_GE(firstEnd, 4u);
  EXPECT_EQ(std::vector<uint8_t>(request.bytes.begin() + firstEnd - 4, request.bytes.begin() + firstEnd),
            (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(request.messages[1].end, request.bytes.size());
}

std::vector<uint8_t> Bytes(const std::vector<std::wstring>& fields) { return zk::EncodeMessage(fields); }

TEST(CompanionRandomRequests, RepliesOfTheWrongShapeAreRefused) {
  using Fields = std::vector<std::wstring>;
  const struct {
    Fields request;
    Fields reply;
    bool right;
  } cases[] = {
      {{L"Running"}, {}, true},
      {{L"Running"}, {L"OK"}, false},
      {{}, {L"Error", L"Empty request received."}, true},
      {{}, {}, false},
      {{L"Bogus"}, {L"Error", L"Unknown command 'Bogus' received."}, true},
      {{L"Bogus"}, {L"OK"}, false},
      {{L"GetOpenDocuments"}, {}, true},
      {{L"GetOpenDocuments"}, {L"a", L"b", L"1", L"2", L"8"}, true},
      {{L"GetOpenDocuments"}, {L"a", L"b", L"1"}, false},
      {{L"CheckAllDocumentsSaved"}, {L"true"}, true},
      {{L"CheckAllDocumentsSaved"}, {L"maybe"}, false},
      {{L"ReadRaw"}, {L"OK", L"4", L"3"}, true},
      {{L"ReadRaw"}, {L"OK"}, false},
      {{L"ReadRaw"}, {L"Error", L"Bit depth must be 8 or 16"}, true},
      {{L"SendImage"}, {L"OK"}, true},
      {{L"SendImage"}, {L"Error"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request.empty() ? std::string("(empty)") : std::string(c.request[0].begin(), c.request[0].end()));
    EXPECT_EQ(zk::CheckRandomReply(c.request, c.reply, Bytes(c.reply)).empty(), c.right);
  }
  // The bytes must be exactly the fields: a stray byte (an odd count) or an empty field is refused.
  std::vector<uint8_t> odd = {3, 0, 0, 0, 'O', 0, 'K', 0, 0, 0, 0};
  EXPECT_FALSE(zk::CheckRandomReply({L"SendImage"}, {L"O"}, odd).empty());
  EXPECT_FALSE(zk::CheckRandomReply({L"SendImage"}, {L""}, {0, 0, 0, 0}).empty());
}

}  // namespace
