// The random requests: the same request for the same seed and number (a next run goes on with the
// very sequence), framing that breaks now and then, and a reply check that refuses what is wrong.
#include "RandomRequests.h"

#include <gtest/gtest.h>

#include "WireFormat.h"

namespace {

const zk::RandomSegments kSegments{L"image", L"small", L"missing"};

TEST(CompanionRandomRequests, EachRequestDependsOnlyOnTheSeedAndItsNumber) {
  int breaks = 0, empty = 0;
  size_t longest = 0;
  for (uint64_t number = 0; number < 5000; ++number) {
    const zk::RandomRequest request = zk::MakeRandomRequest(7, number, kSegments);
    ASSERT_EQ(request.bytes, zk::MakeRandomRequest(7, number, kSegments).bytes);
    breaks += request.breaksFraming;
    empty += !request.breaksFraming && request.fields.empty();
    longest = std::max<size_t>(longest, request.longestField);
    for (const std::wstring& field : request.fields) ASSERT_FALSE(field.empty());
  }
  EXPECT_NE(zk::MakeRandomRequest(7, 1, kSegments).bytes, zk::MakeRandomRequest(8, 1, kSegments).bytes);
  EXPECT_GT(breaks, 0);
  EXPECT_LT(breaks, 50) << "a run goes on for a while";
  EXPECT_GT(empty, 0) << "end markers alone";
  EXPECT_GT(longest, 30000u);
  EXPECT_LE(longest, 70000u);
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
