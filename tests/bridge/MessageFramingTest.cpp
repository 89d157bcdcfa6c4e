// Messages on a real pipe: the byte format both ways, short reads, closes at every point, and
// the replies that must never break the companion's reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "HangCeiling.h"
#include "MessageFraming.h"
#include "PipeChannel.h"
#include "PipePair.h"

namespace {

// A ceiling for a read that waits for bytes that never come: a case here is read in milliseconds,
// the companion's pauses included. A reader that waits for more than the companion wrote would
// otherwise hold the test until ctest's time-out.
constexpr DWORD kReadCeilingMs = 10000;

struct Step {
  std::vector<uint8_t> bytes;
  DWORD pauseAfterMs = 0;
};

struct ReadCase {
  const char* name;
  std::vector<Step> steps;
  bool closeAfter;
  int expectedCode;
  std::string expectedText;
  std::vector<std::string> expectedFields;  // checked for complete messages
};

std::u16string Repeat(char16_t unit, size_t count) { return std::u16string(count, unit); }

TEST(MessageFraming, ReadsWhatTheCompanionWrites) {
  const std::string e512(512, 'e');
  const std::vector<ReadCase> cases = {
      {"ReadRaw with four arguments",
       {{Join({Field(u"ReadRaw"), Field(u"C:\\raw\\a.nef"), Field(u"seg1"), Field(u"1000"), Field(u"16"), Count(0)})}},
       false, MessageComplete, "", {"ReadRaw", "C:\\raw\\a.nef", "seg1", "1000", "16"}},
      {"512 characters fit the fixed buffer, 513 do not",
       {{Join({Field(Repeat(u'e', 512)), Field(Repeat(u'e', 513)), Count(0)})}}, false, MessageComplete, "",
       {e512, e512 + "e"}},
      {"an odd count drops its last byte", {{Join({Count(3), {'A', 0, 'X'}, Field(u"next"), Count(0)})}}, false,
       MessageComplete, "", {"A", "next"}},
      {"U+00E9 becomes C3 A9", {{Join({Count(2), {0xE9, 0x00}, Count(0)})}}, false, MessageComplete, "", {"\xC3\xA9"}},
      {"each surrogate is its own three-byte sequence", {{Join({Field(u"\U0001F600"), Count(0)})}}, false,
       MessageComplete, "", {"\xED\xA0\xBD\xED\xB8\x80"}},
      {"a count and a text arriving in pieces",
       {{{0x08, 0x00}, 40}, {{0x00, 0x00, 't', 0, 'r'}, 40}, {{0, 'u', 0, 'e', 0}, 0}, {Count(0), 0}}, false,
       MessageComplete, "", {"true"}},
      {"no fields: the end marker alone", {{Count(0)}}, false, MessageComplete, "", {}},
      {"closed between messages", {}, true, PeerClosed, "", {}},
      {"closed between two fields", {{Join({Field(u"ReadRaw"), Field(u"x")})}}, true, PeerClosed, "", {}},
      {"closed inside a count", {{{0x08, 0x00}}}, true, ReadFailed, "Error reading from pipe: 1", {}},
      {"closed inside a field", {{Join({Count(8), Utf16(u"tr")})}}, true, ReadFailed, "Error reading from pipe: 2", {}},
      {"a count of gigabytes is refused before anything is reserved", {{Count(0xA0000000u)}}, false, ReadFailed,
       "Unable to allocate memory for response", {}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    PipePair pipe;
    ASSERT_NE(pipe.Client(), INVALID_HANDLE_VALUE);
    std::thread companion([&] {
      for (const Step& step : c.steps) {
        pipe.WriteClient(step.bytes);
        if (step.pauseAfterMs) Sleep(step.pauseAfterMs);
      }
      if (c.closeAfter) pipe.CloseClient();
    });
    PipeChannel channel(pipe.Server(), pipe.RunEnded());
    FieldList fields{"left over from the last request"};
    ReadStatus status;
    {
      const HangCeiling ceiling(std::string("the message was not read (") + c.name + ")", kReadCeilingMs);
      status = ReadMessage(channel, fields);
      companion.join();
    }
    EXPECT_EQ(status.code, c.expectedCode);
    EXPECT_EQ(status.text, c.expectedText);
    if (c.expectedCode == MessageComplete) {
      EXPECT_EQ(fields, c.expectedFields);
    }
  }
}

TEST(MessageFraming, TwoMessagesInOneWriteAreReadOneAtATime) {
  const std::u16string longPath(5000, u'p');  // more than the pipe holds: the write waits for the reads
  const struct {
    const char* name;
    std::u16string first;
  } cases[] = {{"short fields", u"Running"}, {"a field longer than a read", longPath}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HangCeiling ceiling(std::string("the two messages were not read one at a time (") + c.name + ")",
                              kReadCeilingMs);
    PipePair pipe;
    std::thread companion(
        [&] { pipe.WriteClient(Join({Field(c.first), Count(0), Field(u"GetOpenDocuments"), Count(0)})); });
    PipeChannel channel(pipe.Server(), pipe.RunEnded());
    FieldList fields;
    EXPECT_EQ(ReadMessage(channel, fields).code, MessageComplete);
    EXPECT_EQ(fields, FieldList{std::string(c.first.begin(), c.first.end())});
    EXPECT_EQ(ReadMessage(channel, fields).code, MessageComplete);
    EXPECT_EQ(fields, FieldList{"GetOpenDocuments"});
    pipe.CloseServer();  // a write still waiting after a failed read ends, and so does the thread
    companion.join();
  }
}

TEST(MessageFraming, EndOfRunReleasesAWaitingRead) {
  PipePair pipe;
  std::thread dialogEnds([&] {
    Sleep(100);
    SetEvent(pipe.RunEnded());
  });
  PipeChannel channel(pipe.Server(), pipe.RunEnded());
  FieldList fields;
  EXPECT_EQ(ReadMessage(channel, fields).code, ReadRunEnded);
  dialogEnds.join();
}

// A stream cut where the test says: each read of it brings at most the next piece's size (0: all
// that is asked for). Windows may cut a pipe's bytes anywhere, where Wine never does.
class CutStream : public ByteChannel {
 public:
  CutStream(std::vector<uint8_t> bytes, std::vector<uint32_t> pieces)
      : bytes_(std::move(bytes)), pieces_(std::move(pieces)) {}
  int Reads() const { return reads_; }
  ChannelResult WriteFully(const void*, uint32_t) override { return ChannelResult::Complete; }

 protected:
  ChannelResult ReadSome(void* buffer, uint32_t size, uint32_t* received) override {
    *received = 0;
    if (at_ == bytes_.size()) return ChannelResult::Closed;
    const uint32_t piece = pieces_[std::min(size_t(reads_), pieces_.size() - 1)];
    size_t take = std::min<size_t>(size, bytes_.size() - at_);
    if (piece != 0) take = std::min<size_t>(take, piece);
    std::copy(bytes_.begin() + at_, bytes_.begin() + at_ + take, static_cast<uint8_t*>(buffer));
    at_ += take;
    *received = uint32_t(take);
    ++reads_;
    return ChannelResult::Complete;
  }

 private:
  std::vector<uint8_t> bytes_;
  std::vector<uint32_t> pieces_;  // the last one stands for every later read
  size_t at_ = 0;
  int reads_ = 0;
};

// Three messages, the last with a field longer than the channel's read-ahead: each is read whole and
// alone, and the companion's close after them is its close, however the bytes were cut.
TEST(MessageFraming, MessagesCutAtAnyByteAreReadTheSame) {
  const std::u16string longPath = u"C:\\" + Repeat(u'p', 3000);
  const std::vector<uint8_t> stream =
      Join({Field(u"ReadRaw"), Field(u"C:\\raw\\a.nef"), Field(u"seg1"), Field(u"1000"), Field(u"16"), Count(0),
            Field(u"Running"), Count(0), Field(u"ReadRaw"), Field(longPath), Count(0)});
  const std::vector<FieldList> expected = {{"ReadRaw", "C:\\raw\\a.nef", "seg1", "1000", "16"},
                                           {"Running"},
                                           {"ReadRaw", "C:\\" + std::string(3000, 'p')}};
  std::vector<std::vector<uint32_t>> cuts;
  for (uint32_t first = 1; first < stream.size(); ++first) cuts.push_back({first, 0});  // once, anywhere
  for (uint32_t piece = 1; piece <= 7; ++piece) cuts.push_back({piece});                // everywhere
  for (const std::vector<uint32_t>& pieces : cuts) {
    SCOPED_TRACE("first piece " + std::to_string(pieces[0]) + (pieces.size() > 1 ? ", then the rest" : ", and so on"));
    CutStream channel(stream, pieces);
    FieldList fields;
    for (const FieldList& message : expected) {
      ASSERT_EQ(ReadMessage(channel, fields).code, MessageComplete);
      ASSERT_EQ(fields, message);
    }
    ASSERT_EQ(ReadMessage(channel, fields).code, PeerClosed);
  }
}

// The listener's cost per request is its reads of the pipe: a request that has arrived is taken in
// one, and one that came with it needs none of its own.
TEST(MessageFraming, WhatHasArrivedIsTakenInOneRead) {
  CutStream channel(Join({Field(u"ReadRaw"), Field(u"C:\\raw\\a.nef"), Field(u"seg1"), Field(u"1000"), Field(u"16"),
                          Count(0), Field(u"Running"), Count(0)}),
                    {0});
  FieldList fields;
  ASSERT_EQ(ReadMessage(channel, fields).code, MessageComplete);
  EXPECT_EQ(channel.Reads(), 1) << "five fields and the end marker";
  ASSERT_EQ(ReadMessage(channel, fields).code, MessageComplete);
  EXPECT_EQ(fields, FieldList{"Running"});
  EXPECT_EQ(channel.Reads(), 1) << "the second message came with the first";
}

struct WriteCase {
  const char* name;
  std::vector<std::string> fields;
  std::vector<uint8_t> expected;
};

TEST(MessageFraming, WritesRepliesByteForByte) {
  const std::vector<WriteCase> cases = {
      {"OK 640 480", {"OK", "640", "480"},
       {0x04, 0, 0, 0, 0x4F, 0, 0x4B, 0, 0x06, 0, 0, 0, 0x36, 0, 0x34, 0, 0x30, 0, 0x06, 0, 0, 0, 0x34, 0, 0x38, 0, 0x30,
        0, 0, 0, 0, 0}},
      {"no fields", {}, {0, 0, 0, 0}},
      {"true", {"true"}, {0x08, 0, 0, 0, 't', 0, 'r', 0, 'u', 0, 'e', 0, 0, 0, 0, 0}},
      {"U+00E9", {"\xC3\xA9"}, {0x02, 0, 0, 0, 0xE9, 0x00, 0, 0, 0, 0}},
      {"a host text that is not UTF-8: each bad byte becomes U+FFFD",
       {"a\xE9" "b\xC3"}, {0x08, 0, 0, 0, 'a', 0, 0xFD, 0xFF, 'b', 0, 0xFD, 0xFF, 0, 0, 0, 0}},
      {"a character beyond U+FFFF becomes a surrogate pair",
       {"\xF0\x9F\x98\x80"}, {0x04, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0, 0, 0}},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    PipePair pipe;
    ReplyFieldList reply;
    for (const std::string& field : c.fields) reply.Append(field);
    PipeChannel channel(pipe.Server(), pipe.RunEnded());
    EXPECT_TRUE(WriteMessage(channel, reply));
    EXPECT_EQ(pipe.ReadAllFromClient(c.expected.size()), c.expected);
  }
}

// The characters on each side of the UTF-8 length limits, in a field that comes in and in one that
// goes out. A wrong limit once turned U+0800 into the invalid bytes E0 80 and no test noticed.
TEST(MessageFraming, CharactersAtTheUtf8LengthLimitsCrossByteForByteBothWays) {
  const struct {
    const char* name;
    std::u16string units;
    std::string utf8;
  } cases[] = {
      {"U+007F, the last single byte", u"\u007F", "\x7F"},
      {"U+0080, the first of two bytes", u"\u0080", "\xC2\x80"},
      {"U+07FF, the last of two bytes", u"\u07FF", "\xDF\xBF"},
      {"U+0800, the first of three bytes", u"\u0800", "\xE0\xA0\x80"},
      {"U+FFFF, the last of three bytes", u"\uFFFF", "\xEF\xBF\xBF"},
      {"U+1F600, a surrogate pair: each unit its own three bytes", u"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},
      {"all of them between letters", u"a\u007F\u0080b\u07FF\u0800c\uFFFF\U0001F600d",
       "a\x7F\xC2\x80" "b\xDF\xBF\xE0\xA0\x80" "c\xEF\xBF\xBF\xED\xA0\xBD\xED\xB8\x80" "d"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    {
      PipePair pipe;
      pipe.WriteClient(Join({Field(c.units), Count(0)}));
      PipeChannel channel(pipe.Server(), pipe.RunEnded());
      FieldList fields;
      {
        const HangCeiling ceiling(std::string("the message was not read (") + c.name + ")", kReadCeilingMs);
        ASSERT_EQ(ReadMessage(channel, fields).code, MessageComplete);
      }
      EXPECT_EQ(fields, FieldList{c.utf8}) << "coming in";
    }
    {
      PipePair pipe;
      ReplyFieldList reply;
      reply.Append(c.utf8);
      PipeChannel channel(pipe.Server(), pipe.RunEnded());
      ASSERT_TRUE(WriteMessage(channel, reply));
      const std::vector<uint8_t> expected = Join({Field(c.units), Count(0)});
      EXPECT_EQ(pipe.ReadAllFromClient(expected.size()), expected) << "going out";
    }
  }
}

TEST(MessageFraming, AReplyCannotHoldAnEmptyField) {
  ReplyFieldList reply;
  EXPECT_THROW(reply.Append(""), std::invalid_argument);
  EXPECT_TRUE(reply.Fields().empty());
}

TEST(MessageFraming, WritingToAClosedPipeFails) {
  PipePair pipe;
  pipe.CloseClient();
  ReplyFieldList reply;
  reply.Append("OK");
  PipeChannel channel(pipe.Server(), pipe.RunEnded());
  EXPECT_FALSE(WriteMessage(channel, reply));
}

}  // namespace
