// The checks of the two image requests, before any host call: which check fails first, what the
// companion is told, that nothing reaches the host, and that every segment handle and view the
// request obtained is released (the companion's own handle is then the segment's last).
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    HandleReadRaw(c.request, reply);
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
    HandleSendImage(c.request, reply);
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
