// The two image requests served in-process against the stand-in host and its raw converter,
// export and import plug-ins, with segments made as the companion makes them: the pixels and
// metadata that cross, which raw documents are closed when, and that every host object and every
// segment handle and view is released, also when each host call fails in turn.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "HostCodes.h"
#include "ImageFiles.h"
#include "ImageRequests.h"
#include "ImageSamples.h"
#include "InProcessHost.h"
#include "NewDocument.h"
#include "PixelExport.h"
#include "RawFileLoading.h"
#include "WindowsOwners.h"

namespace {

// A named segment as the companion makes it; the test reads and writes it through its own view.
class CompanionSegment {
 public:
  CompanionSegment(const std::string& stem, uint64_t bytes) : name_(Unique(stem)) {
    handle_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, DWORD(bytes >> 32), DWORD(bytes),
                                     name_.c_str()));
    view_.Reset(MapViewOfFile(handle_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  }
  const std::string& Name() const { return name_; }
  uint8_t* Bytes() { return static_cast<uint8_t*>(view_.Get()); }
  std::vector<uint8_t> Read(size_t count) { return std::vector<uint8_t>(Bytes(), Bytes() + count); }
  void Write(const std::vector<uint8_t>& bytes) { std::copy(bytes.begin(), bytes.end(), Bytes()); }
  bool Valid() const { return view_.Valid(); }
  // Nobody else holds it: once the companion lets go, it is gone.
  bool GoneAfterClose() {
    view_.Reset();
    handle_.Reset();
    return !UniqueHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, name_.c_str()));
  }

 private:
  static std::string Unique(const std::string& stem) {
    static int serial = 0;
    return "zk-images-" + std::to_string(GetCurrentProcessId()) + "-" + stem + "-" + std::to_string(++serial);
  }
  std::string name_;
  UniqueHandle handle_;
  UniqueMappedView view_;
};

// Every sample different from its neighbours, the range's ends among them.
zk::ImagePixels Ramp(int64_t width, int64_t height, int32_t depth) {
  zk::ImagePixels image{width, height, depth, {}};
  uint64_t bytes = 0;
  zk::ImageByteCount(width, height, depth, &bytes);
  image.samples.resize(size_t(bytes));
  const uint32_t top = depth == 16 ? 65535 : 255;
  for (size_t i = 0; i < bytes / size_t(depth / 8); ++i) {
    zk::WriteSample(image.samples.data(), i * size_t(depth / 8), depth, i == 1 ? top : uint32_t((i * 7919) % (top + 1)));
  }
  return image;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring ScratchFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"zk-image-requests-" + std::to_wstring(GetCurrentProcessId());
}

// A picture file the raw converter can open, in the test's scratch folder.
std::string PictureFile(const std::string& name, const zk::ImagePixels& image) {
  const std::wstring folder = ScratchFolder();
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\" + std::wstring(name.begin(), name.end());
  std::string error;
  EXPECT_TRUE(zk::WritePngFile(path, image, &error)) << error;
  return Narrow(path);
}

FieldList ReadRaw(const std::string& path, const CompanionSegment& segment, uint64_t size, int depth) {
  return {"ReadRaw", path, segment.Name(), std::to_string(size), std::to_string(depth)};
}
FieldList SendImage(const std::string& source, const CompanionSegment& image, const zk::ImagePixels& size,
                    const CompanionSegment& metadata, int32_t metadataLength) {
  return {"SendImage", source, image.Name(), std::to_string(size.width), std::to_string(size.height),
          std::to_string(size.depth), metadata.Name(), std::to_string(metadataLength)};
}

FieldList Served(void (*handler)(const FieldList&, ReplyFieldList&), const FieldList& request) {
  ReplyFieldList reply;
  handler(request, reply);
  return reply.Fields();
}

const zk::HostDocument* OpenDocumentWithFile(const std::string& file) {
  for (const zk::HostDocument& document : TestDocuments().Documents()) {
    if (document.file == file) return &document;
  }
  return nullptr;
}

class ImageRequests : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(ScratchFolder()), ignored);
  }
  void SetUp() override {
    ResetTestHost();
    AutomationUtils::LoadedRawFiles.clear();
    AutomationUtils::RawFileMetadata.clear();
  }
  void TearDown() override { EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive(); }
};

TEST_F(ImageRequests, ReadRawHandsOverTheFilesPixelsAtTheAskedDepth) {
  const struct {
    const char* name;
    int32_t fileDepth;
    int32_t askedDepth;
  } cases[] = {{"16-bit file at 16", 16, 16}, {"16-bit file at 8", 16, 8}, {"8-bit file at 16", 8, 16},
               {"8-bit file at 8", 8, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const zk::ImagePixels picture = Ramp(37, 23, c.fileDepth);
    const std::string path = PictureFile(std::string("ramp") + std::to_string(c.fileDepth) + ".png", picture);
    zk::ImagePixels expected;
    std::string error;
    ASSERT_TRUE(zk::ReadImageFile(std::wstring(path.begin(), path.end()), &expected, &error)) << error;
    const size_t bytes = size_t(37 * 23 * 3 * (c.askedDepth / 8));
    CompanionSegment segment("export", bytes + 4096);
    ASSERT_TRUE(segment.Valid());
    std::fill(segment.Bytes() + bytes, segment.Bytes() + bytes + 4096, 0xAB);

    EXPECT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, bytes, c.askedDepth)), (FieldList{"OK", "37", "23"}));
    if (c.fileDepth == c.askedDepth) {
      EXPECT_EQ(segment.Read(bytes), expected.samples) << "the file's own samples";
    }
    for (size_t i = bytes; i < bytes + 4096; ++i) ASSERT_EQ(segment.Bytes()[i], 0xAB) << "written past the image at " << i;
    // The open added a document: it stays until the companion sends its image back.
    const zk::HostDocument* raw = OpenDocumentWithFile(path);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->depth, c.askedDepth);
    EXPECT_EQ(AutomationUtils::LoadedRawFiles, (std::map<std::string, bool>{{path, false}}));
    ASSERT_EQ(AutomationUtils::RawFileMetadata.count(path), 1u);
    EXPECT_EQ(std::string(AutomationUtils::RawFileMetadata[path].begin(), AutomationUtils::RawFileMetadata[path].end()),
              raw->metadata)
        << "the chunks, an empty one among them, in order";
    EXPECT_TRUE(segment.GoneAfterClose());
  }
}

// The export never writes past the view: a view smaller than the image is refused before it.
TEST_F(ImageRequests, ReadRawRefusesAViewTooSmallForTheImage) {
  const std::string path = PictureFile("small.png", Ramp(40, 30, 16));
  CompanionSegment segment("export", 40 * 30 * 6);
  ASSERT_TRUE(segment.Valid());
  const FieldList reply = Served(HandleReadRaw, ReadRaw(path, segment, 40 * 30 * 6 - 1, 16));
  EXPECT_EQ(reply, (FieldList{"Error", "Segment " + segment.Name() + " holds 7199 bytes, the image needs 7200 bytes"}));
  EXPECT_EQ(segment.Read(7200), std::vector<uint8_t>(7200, 0)) << "nothing written";
  // Size 0 maps the whole segment, which fits.
  EXPECT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 16))[0], "OK");
}

TEST_F(ImageRequests, AFailedRawLoadIsAnsweredWithoutAnExport) {
  CompanionSegment segment("export", 4096);
  const std::string missing = "C:\\no such folder\\missing.png";
  const FieldList reply = Served(HandleReadRaw, ReadRaw(missing, segment, 4096, 16));
  ASSERT_EQ(reply.size(), 2u);
  EXPECT_EQ(reply[0], "Error");
  EXPECT_EQ(reply[1].rfind("Unable to load RAW image " + missing + ": error ", 0), 0u) << reply[1];
  EXPECT_EQ(TestHost().Book().Calls("PSActionControl.Play"), 1) << "the open only";
  EXPECT_TRUE(AutomationUtils::LoadedRawFiles.empty());
  EXPECT_TRUE(segment.GoneAfterClose());
}

// A file that was open already is the person's: closed right after the export when it has no
// unsaved changes, left open when it has; a path with '/' finds no record and is left open.
TEST_F(ImageRequests, AFileThatWasOpenAlreadyIsClosedAfterTheExportOnlyWhenSaved) {
  const struct {
    const char* name;
    bool dirty;
    bool slashes;
    bool closed;
  } cases[] = {{"saved", false, false, true}, {"unsaved changes", true, false, false}, {"asked with '/'", false, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const zk::ImagePixels picture = Ramp(16, 8, 16);
    const std::string path = PictureFile("open.png", picture);
    zk::HostDocument open{"open.png", path, 16, 8};
    open.depth = 16;
    open.samples = picture.samples;
    open.dirty = c.dirty;
    TestDocuments().Open(open);
    std::string asked = path;
    if (c.slashes) std::replace(asked.begin(), asked.end(), '\\', '/');
    CompanionSegment segment("export", 16 * 8 * 6);
    EXPECT_EQ(Served(HandleReadRaw, ReadRaw(asked, segment, 16 * 8 * 6, 16)), (FieldList{"OK", "16", "8"}));
    EXPECT_EQ(segment.Read(16 * 8 * 6), picture.samples);
    EXPECT_EQ(AutomationUtils::LoadedRawFiles, (std::map<std::string, bool>{{path, true}})) << "keyed with '\\'";
    EXPECT_EQ(OpenDocumentWithFile(path) == nullptr, c.closed);
    EXPECT_EQ(TestDocuments().Documents().size(), c.closed ? 0u : 1u);
  }
}

TEST_F(ImageRequests, SentPixelsArriveUnchangedInANewDocument) {
  for (const int32_t depth : {8, 16}) {
    SCOPED_TRACE(depth);
    SetUp();
    const zk::ImagePixels picture = Ramp(31, 17, depth);
    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 4096);
    image.Write(picture.samples);
    const std::string text = "<meta>from the segment</meta>";
    metadata.Write(std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(Served(HandleSendImage, SendImage("C:\\never\\read.png", image, picture, metadata, int32_t(text.size()))),
              FieldList{"OK"});
    ASSERT_EQ(TestImageEvents().Imported().size(), 1u);
    ASSERT_EQ(TestDocuments().Documents().size(), 1u);
    const zk::HostDocument& made = TestDocuments().Documents()[0];
    EXPECT_EQ(made.depth, depth);
    EXPECT_EQ(made.samples, picture.samples);
    EXPECT_EQ(made.metadata, text);
    EXPECT_TRUE(image.GoneAfterClose());
    EXPECT_TRUE(metadata.GoneAfterClose());
  }
}

// The image segment is mapped at exactly width × height × 3 × bytes per sample.
TEST_F(ImageRequests, TheImageSegmentIsMappedAtTheImagesSize) {
  const struct {
    int64_t width, height;
    int32_t depth;
    uint64_t bytes;
  } cases[] = {{640, 480, 8, 921600}, {4000, 3000, 16, 72000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    SetUp();
    const zk::ImagePixels size{c.width, c.height, c.depth, {}};
    CompanionSegment exact("exact", c.bytes);
    CompanionSegment oneShort("short", c.bytes - 4096);
    CompanionSegment metadata("metadata", 4096);
    const FieldList refused = Served(HandleSendImage, SendImage("x", oneShort, size, metadata, 0));
    EXPECT_EQ(refused[0], "Error");
    EXPECT_EQ(Served(HandleSendImage, SendImage("x", exact, size, metadata, 0)), FieldList{"OK"});
    ASSERT_EQ(TestDocuments().Documents().size(), 1u);
    EXPECT_EQ(TestDocuments().Documents()[0].samples.size(), c.bytes);
  }
}

// The metadata captured when the raw file was read goes with the image sent back for it, also
// when the capture was empty; other images take the segment's bytes.
TEST_F(ImageRequests, StoredMetadataIsPreferredOverTheSegments) {
  const zk::ImagePixels picture = Ramp(8, 4, 16);
  const std::string path = PictureFile("meta.png", picture);
  zk::HostDocument bare{"meta.png", path, 8, 4};  // open already, with no metadata of its own
  bare.depth = 16;
  bare.samples = picture.samples;
  TestDocuments().Open(bare);
  CompanionSegment exported("export", picture.samples.size());
  ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, exported, picture.samples.size(), 16))[0], "OK");
  ASSERT_EQ(AutomationUtils::RawFileMetadata.count(path), 1u);
  EXPECT_TRUE(AutomationUtils::RawFileMetadata[path].empty());

  CompanionSegment image("image", picture.samples.size());
  image.Write(picture.samples);
  CompanionSegment metadata("metadata", 64);
  metadata.Write({'s', 'e', 'g'});
  EXPECT_EQ(Served(HandleSendImage, SendImage(path, image, picture, metadata, 3)), FieldList{"OK"});
  EXPECT_EQ(Served(HandleSendImage, SendImage("C:\\other.png", image, picture, metadata, 3)), FieldList{"OK"});
  const auto& imported = TestImageEvents().Imported();
  ASSERT_EQ(imported.size(), 2u);
  EXPECT_EQ(imported[0].metadataBytes, 0u) << "the empty capture, not the segment's 3 bytes";
  EXPECT_EQ(imported[1].metadataBytes, 3u);
}

// A raw document whose open added it is closed by the next SendImage, once, even when the import
// fails (the companion is answered "OK" all the same).
TEST_F(ImageRequests, RawDocumentsTheBridgeOpenedAreClosedByTheNextSendImage) {
  for (const bool importFails : {false, true}) {
    SCOPED_TRACE(importFails ? "import fails" : "import works");
    SetUp();
    const zk::ImagePixels picture = Ramp(12, 10, 16);
    const std::string path = PictureFile("raw.png", picture);
    TestDocuments().Open(zk::HostDocument{"keep.psd", "C:\\keep.psd", 10, 10});
    CompanionSegment exported("export", picture.samples.size());
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, exported, picture.samples.size(), 16))[0], "OK");
    ASSERT_NE(OpenDocumentWithFile(path), nullptr);
    if (importFails) TestHost().Book().FailEvent(eventImport, -1);

    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    EXPECT_EQ(Served(HandleSendImage, SendImage(path, image, picture, metadata, 0)), FieldList{"OK"});
    EXPECT_EQ(OpenDocumentWithFile(path), nullptr) << "closed without saving";
    EXPECT_NE(OpenDocumentWithFile("C:\\keep.psd"), nullptr) << "not one the bridge opened";
    EXPECT_TRUE(AutomationUtils::LoadedRawFiles.empty());
    EXPECT_EQ(TestDocuments().Documents().size(), importFails ? 1u : 2u);
  }
}

// Each host call of both requests fails in turn, at each of its calls: one well-formed reply,
// no host object left, and the companion's segments are its own again.
TEST_F(ImageRequests, EveryFailingHostCallStillReleasesEverything) {
  const zk::ImagePixels picture = Ramp(6, 5, 16);
  const std::string path = PictureFile("fail.png", picture);
  const auto both = [&](CompanionSegment& exported, CompanionSegment& image, CompanionSegment& metadata) {
    const FieldList read = Served(HandleReadRaw, ReadRaw(path, exported, picture.samples.size(), 16));
    const FieldList sent = Served(HandleSendImage, SendImage(path, image, picture, metadata, 4));
    for (const FieldList* reply : {&read, &sent}) {
      ASSERT_FALSE(reply->empty());
      EXPECT_TRUE((*reply)[0] == "OK" || (reply->size() == 2 && (*reply)[0] == "Error" && !(*reply)[1].empty()));
    }
  };
  std::map<std::string, int> calls;
  {
    CompanionSegment exported("export", picture.samples.size()), image("image", picture.samples.size()),
        metadata("metadata", 16);
    both(exported, image, metadata);
    calls = TestHost().Book().AllCalls();
  }
  int injected = 0;
  for (const auto& [procedure, count] : calls) {
    // A failing release cannot be made good by anyone; the suites' acquisition is the entry flow's.
    const bool release = procedure.size() > 5 && (procedure.substr(procedure.size() - 5) == ".Free" ||
                                                  procedure.substr(procedure.size() - 8) == ".Dispose");
    if (release || procedure.rfind("SPBasic", 0) == 0) continue;
    for (int call = 1; call <= count; ++call) {
      SCOPED_TRACE(procedure + " failing at call " + std::to_string(call));
      SetUp();
      TestHost().Book().FailProcedure(procedure, -25, call);
      CompanionSegment exported("export", picture.samples.size()), image("image", picture.samples.size()),
          metadata("metadata", 16);
      both(exported, image, metadata);
      EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
      EXPECT_TRUE(exported.GoneAfterClose() && image.GoneAfterClose() && metadata.GoneAfterClose());
      ++injected;
    }
  }
  EXPECT_GT(injected, 40);
}

}  // namespace
