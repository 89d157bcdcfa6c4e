// The checks of the two image requests, before any host call: which check fails first, what the
// companion is told, that nothing reaches the host, and that every segment handle and view the
// request obtained is released (the companion's own handle is then the segment's last).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageRequestFields.h"
#include "ImageRequests.h"
#include "InProcessHost.h"
#include "WindowsOwners.h"

namespace {

// A segment as the companion makes it: named, in the paging file, alive while the handle is.
class CompanionSegment {
 public:
  CompanionSegment(const std::string& name, DWORD bytes)
      : handle_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes, name.c_str())) {}
  bool Valid() const { return handle_.Valid(); }
  // True when nobody else holds the segment: once the companion closes its handle, it is gone.
  static bool GoneAfterClose(CompanionSegment& segment, const std::string& name) {
    segment.handle_.Reset();
    const UniqueHandle reopened(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
    return !reopened;
  }

 private:
  UniqueHandle handle_;
};

std::string Unique(const std::string& stem) {
  static int serial = 0;
  return "zk-checks-" + std::to_string(GetCurrentProcessId()) + "-" + stem + "-" + std::to_string(++serial);
}

FieldList Request(std::vector<std::string> fields) { return FieldList(fields.begin(), fields.end()); }

int HostCalls() {
  int total = 0;
  for (const auto& [procedure, count] : TestHost().Book().AllCalls()) total += count;
  return total;
}

class ImageRequestChecks : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestHost(); }
  void TearDown() override { EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive(); }
};

// The sizes the requests carry are worked out and passed on in 64 bits: an image past 2 GiB or
// 4 GiB keeps every byte (a 32-bit count would turn 19000 x 19000 at 16 bits negative, and 26800 x
// 26800 into 14,472,704 bytes), and a size beyond 63 bits is refused rather than wrapped. None of
// this needs the gigabytes themselves; the whole runs with them are labelled "large".
TEST(ImageRequestSizes, SizesPastTwoAndFourGiBAreCarriedWholeAndAbsurdOnesRefused) {
  constexpr int32_t kWidest = INT32_MAX;
  const struct {
    int32_t width, height, depth;
    bool carried;
    uint64_t bytes;
  } cases[] = {
      {19000, 19000, 16, true, 2166000000u},                 // past 2^31
      {26500, 26500, 16, true, 4213500000u},                 // past 2^31, short of 2^32
      {26800, 26800, 16, true, 4309440000u},                 // past 2^32
      {65536, 32768, 8, true, 6442450944u},                  // 2^31 modulo 2^32
      {300000, 300000, 16, true, 540000000000u},             // the host's largest document
      {kWidest, 1431655766, 8, true, 9223372036854775806u},  // the largest size that fits 63 bits
      {kWidest, 1431655767, 8, false, 0},
      {kWidest, 715827884, 16, false, 0},
      {kWidest, kWidest, 16, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.depth));
    uint64_t bytes = 0;
    EXPECT_EQ(ImageSegmentBytes(c.width, c.height, c.depth, &bytes), c.carried);
    const FieldList send = {"SendImage", "C:\\a.png", "image", std::to_string(c.width), std::to_string(c.height),
                            std::to_string(c.depth), "metadata", "0"};
    SendImageFields fields;
    std::string error;
    EXPECT_EQ(CheckSendImageFields(send, &fields, &error), c.carried) << error;
    if (!c.carried) continue;
    EXPECT_EQ(bytes, c.bytes);
    EXPECT_EQ(fields.imageBytes, c.bytes) << "the view the handler maps";
    ReadRawFields readRaw;
    ASSERT_TRUE(CheckReadRawFields({"ReadRaw", "C:\\a.png", "export", std::to_string(c.bytes), "16"}, &readRaw, &error));
    EXPECT_EQ(readRaw.segmentBytes, c.bytes);
  }
}

// The import's metadata count is the one 32-bit size on the way: a block it cannot count is refused
// with a message, never handed on with its count wrapped (2^32 + 5 bytes as 5).
TEST(ImageRequestSizes, MetadataBeyondTheImportsCountIsRefused) {
  const struct {
    uint64_t bytes;
    bool carried;
  } cases[] = {{0, true}, {4096, true}, {uint64_t(INT32_MAX), true}, {uint64_t(INT32_MAX) + 1, false},
               {(uint64_t(1) << 32) + 5, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::string error;
    EXPECT_EQ(CheckImportMetadataBytes(c.bytes, &error), c.carried);
    if (!c.carried) {
      EXPECT_EQ(error, "Metadata of " + std::to_string(c.bytes) +
                           " bytes cannot be passed to the import, which takes at most 2147483647 bytes");
    }
  }
}

TEST_F(ImageRequestChecks, ReadRawReportsOnlyTheFirstFailingCheck) {
  const std::string segment = Unique("export");
  CompanionSegment made(segment, 65536);
  ASSERT_TRUE(made.Valid());
  const struct {
    const char* name;
    FieldList request;
    std::string expected;
  } cases[] = {
      {"letters for the size, depth 12", Request({"ReadRaw", "C:\\a.png", segment, "x1", "12"}),
       "Non-numeric segment size provided"},
      {"no fields at all", Request({"ReadRaw"}), "Non-numeric segment size provided"},
      {"depth not a number", Request({"ReadRaw", "C:\\a.png", segment, "100", "deep"}), "Non-numeric bit depth provided"},
      {"depth 24", Request({"ReadRaw", "C:\\a.png", "never-made", "100", "24"}), "Bit depth must be 8 or 16"},
      {"depth 12 before a missing segment", Request({"ReadRaw", "C:\\a.png", "never-made", "100", "12"}),
       "Bit depth must be 8 or 16"},
      {"depth 16px reads 16, then the segment is missing",
       Request({"ReadRaw", "C:\\a.png", "never-made", "100", "16px"}), "Invalid mapping name never-made provided"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost().Book().ResetCounts();
    ReplyFieldList reply;
    AutomationUtils::RawFileRecords records;
    HandleReadRaw(c.request, reply, records);
    EXPECT_EQ(reply.Fields(), (FieldList{"Error", c.expected}));
    EXPECT_EQ(HostCalls(), 0) << "the raw file is never opened";
  }
  EXPECT_TRUE(CompanionSegment::GoneAfterClose(made, segment));
}

TEST_F(ImageRequestChecks, SendImageChecksEverythingBeforeTheFirstHostCall) {
  const std::string image = Unique("image");
  const std::string half = Unique("half");
  const std::string metadata = Unique("metadata");
  CompanionSegment madeImage(image, 640 * 480 * 3);
  CompanionSegment madeHalf(half, 640 * 480 * 3 / 2);
  CompanionSegment madeMetadata(metadata, 4096);
  ASSERT_TRUE(madeImage.Valid() && madeHalf.Valid() && madeMetadata.Valid());
  const auto send = [&](std::string segment, std::string width, std::string height, std::string depth,
                        std::string metadataSegment, std::string length) {
    return Request({"SendImage", "C:\\a.png", segment, width, height, depth, metadataSegment, length});
  };
  const struct {
    const char* name;
    FieldList request;
    std::string expected;  // the whole message, or its start when it ends with the system's number
    bool prefix = false;
  } cases[] = {
      {"depth and width not numbers", send(image, "w", "480", "d", metadata, "10"), "Non-numeric bith depth provided"},
      {"depth 12", send(image, "640", "480", "12", metadata, "10"), "Bit depth must be 8 or 16"},
      {"width", send(image, "wide", "480", "8", metadata, "10"), "Non-numeric width provided"},
      {"height", send(image, "640", "", "8", metadata, "10"), "Non-numeric height provided"},
      {"metadata length", send(image, "640", "480", "8", metadata, "ten"), "Non-numeric metadata length provided"},
      {"no fields at all", Request({"SendImage"}), "Non-numeric bith depth provided"},
      {"two negative sides", send(image, "-640", "-480", "8", metadata, "10"),
       "Invalid image size -640 x -480 for segment " + image},
      {"zero width", send(image, "0", "480", "8", metadata, "10"), "Invalid image size 0 x 480 for segment " + image},
      {"a size beyond 63 bits", send(image, "2147483647", "2147483647", "16", metadata, "10"),
       "Invalid image size 2147483647 x 2147483647 for segment " + image},
      {"image segment missing", send("never-made", "640", "480", "8", metadata, "10"),
       "Invalid mapping name never-made provided"},
      {"image segment half the size", send(half, "640", "480", "8", metadata, "10"),
       "Unable to map segment " + half + ": error ", true},
      {"metadata segment missing", send(image, "640", "480", "8", "never-made", "10"),
       "Invalid mapping name never-made provided"},
      {"negative metadata length", send(image, "640", "480", "8", metadata, "-1"),
       "Unable to map segment " + metadata + ": error ", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost().Book().ResetCounts();
    ReplyFieldList reply;
    AutomationUtils::RawFileRecords records;
    HandleSendImage(c.request, reply, records);
    ASSERT_EQ(reply.Fields().size(), 2u);
    EXPECT_EQ(reply.Fields()[0], "Error");
    if (c.prefix) {
      EXPECT_EQ(reply.Fields()[1].substr(0, c.expected.size()), c.expected);
      EXPECT_GT(reply.Fields()[1].size(), c.expected.size()) << "the system's error number follows";
    } else {
      EXPECT_EQ(reply.Fields()[1], c.expected);
    }
    EXPECT_EQ(HostCalls(), 0) << "no document is made";
  }
  EXPECT_TRUE(CompanionSegment::GoneAfterClose(madeImage, image));
  EXPECT_TRUE(CompanionSegment::GoneAfterClose(madeHalf, half));
  EXPECT_TRUE(CompanionSegment::GoneAfterClose(madeMetadata, metadata));
}

}  // namespace
