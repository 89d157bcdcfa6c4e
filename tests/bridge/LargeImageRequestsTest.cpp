// An image request whose metadata the import cannot be told the size of, served in-process against
// the stand-in host. The import's metadata count is a 32-bit field: metadata stored for a raw file
// past 2^31 - 1 bytes used to reach NewDocumentFromBuffer, which refused it with "error -50" after
// nothing more than a status, and the raw documents were closed all the same. Holding such metadata
// takes 2 GiB, so this runs alone under the label "large".
#include <gtest/gtest.h>

#include <string>

#include "HostCodes.h"
#include "ImageRequests.h"
#include "InProcessHost.h"
#include "RawFileRecords.h"
#include "WindowsOwners.h"

namespace {

UniqueHandle CompanionSegment(const std::string& name, DWORD bytes) {
  return UniqueHandle(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes, name.c_str()));
}

TEST(LargeImageRequests, StoredMetadataPastTheImportsCountIsRefusedBeforeAnythingIsPlayed) {
  ResetTestHost();
  const std::string raw = "C:\\Fotos\\large.png";
  // A raw document the bridge's open added: a SendImage that goes ahead closes it.
  TestDocuments().Open(zk::HostDocument{"large.png", raw, 1, 1});
  AutomationUtils::RawFileRecords records;
  records.LoadedRawFiles = {{raw, false}};
  records.RawFileMetadata[raw].resize(size_t(INT32_MAX) + 1);
  const std::string tag = std::to_string(GetCurrentProcessId());
  const std::string image = "zk-large-requests-image-" + tag, metadata = "zk-large-requests-metadata-" + tag;
  const UniqueHandle madeImage = CompanionSegment(image, 6);
  const UniqueHandle madeMetadata = CompanionSegment(metadata, 16);
  ASSERT_TRUE(madeImage && madeMetadata);

  ReplyFieldList reply;
  HandleSendImage({"SendImage", raw, image, "1", "1", "16", metadata, "0"}, reply, records);
  EXPECT_EQ(reply.Fields(), (FieldList{"Error", "Metadata of 2147483648 bytes cannot be passed to the import, which "
                                                "takes at most 2147483647 bytes"}));
  EXPECT_EQ(TestHost().Book().Calls("PSActionControl.Play"), 0) << "no import, no close";
  EXPECT_EQ(TestDocuments().Documents().size(), 1u) << "the raw document stays open";
  EXPECT_EQ(records.LoadedRawFiles.count(raw), 1u);
}

}  // namespace
