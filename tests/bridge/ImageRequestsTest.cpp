// The two image requests served in-process against the stand-in host and its raw converter,
// export and import plug-ins, with segments made as the companion makes them: the pixels and
// metadata that cross, which raw documents are closed when, and that every host object and every
// segment handle and view is released, also when each host call fails in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "EventParameters.h"
#include "ExportPlugin.h"
#include "FailingAllocations.h"
#include "HandlerReply.h"
#include "HostCodes.h"
#include "HostStatus.h"
#include "ImportPlugin.h"
#include "ImageFiles.h"
#include "ImageRequests.h"
#include "ImageSamples.h"
#include "InProcessHost.h"
#include "ModalRobot.h"
#include "NarrowText.h"
#include "NewDocument.h"
#include "PixelExport.h"
#include "PluginLog.h"
#include "RawConverter.h"
#include "RawFileLoading.h"
#include "SegmentReleaseWatch.h"
#include "TestPaths.h"
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

std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}
std::string WithBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}
std::string InUpperCase(std::string path) {
  std::transform(path.begin(), path.end(), path.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
  return path;
}

FieldList ReadRaw(const std::string& path, const CompanionSegment& segment, uint64_t size, int depth) {
  return {"ReadRaw", path, segment.Name(), std::to_string(size), std::to_string(depth)};
}
FieldList SendImage(const std::string& source, const CompanionSegment& image, const zk::ImagePixels& size,
                    const CompanionSegment& metadata, int32_t metadataLength) {
  return {"SendImage", source, image.Name(), std::to_string(size.width), std::to_string(size.height),
          std::to_string(size.depth), metadata.Name(), std::to_string(metadataLength)};
}

// What the module keeps of raw files from request to request: the handlers are handed it, and each
// case begins with none.
AutomationUtils::RawFileRecords records;

FieldList Served(ImageRequestHandler handler, const FieldList& request) { return HandlerReply(handler, request, records); }

const zk::HostDocument* OpenDocumentWithFile(const std::string& file) {
  for (const zk::HostDocument& document : TestDocuments().Documents()) {
    if (document.file == file) return &document;
  }
  return nullptr;
}

const zk::HostDocument* OpenDocumentWithFile(const std::string& file, bool* dirty) {
  const zk::HostDocument* document = OpenDocumentWithFile(file);
  *dirty = document != nullptr && document->dirty;
  return document;
}

std::string Text(const AutomationUtils::MetadataBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The error the system gives for a view of that many bytes of the named segment.
DWORD MapErrorFor(const std::string& name, uint64_t bytes) {
  const UniqueHandle segment(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
  void* const view = MapViewOfFile(segment.Get(), FILE_MAP_ALL_ACCESS, 0, 0, SIZE_T(bytes));
  const DWORD error = GetLastError();
  if (view != nullptr) UnmapViewOfFile(view);
  return view == nullptr ? error : 0;
}

// An export plug-in that only hands over these chunks of metadata through the module's callback,
// then does afterDelivering, if given, and answers status.
using Chunks = std::vector<std::pair<const void*, int32_t>>;
void ExportDelivering(Chunks chunks, OSErr status = 0, std::function<void()> afterDelivering = nullptr) {
  TestHost().RegisterEvent(eventExport, [chunks, status, afterDelivering](
                                            DescriptorEventID, const zk::DescriptorData* parameters,
                                            PIDialogPlayOptions, zk::DescriptorData* result) {
    zk::EventParameters play(parameters);
    const zk::DescriptorData* settings = nullptr;
    uintptr_t callback = 0;
    if (!play.Object(keyUsing, TestHost().TypeIds().ToTypeId(zk::kExportPluginStringId), &settings) ||
        !zk::EventParameters(settings).Address(keyMetadataCallback, &callback)) {
      return zk::FailPlay(result, zk::kStandInParamError, "no callback");
    }
    const auto deliver = reinterpret_cast<zk::MetadataCallback>(callback);
    for (const auto& [data, length] : chunks) deliver(data, length);
    if (afterDelivering) afterDelivering();
    return status == 0 ? OSErr(0) : zk::FailPlay(result, status, "the export failed");
  });
}

// The raw converter's open, after which the play's result also carries a message.
void OpenWithAMessage() {
  TestHost().RegisterEvent(eventOpen, [](DescriptorEventID, const zk::DescriptorData* parameters,
                                         PIDialogPlayOptions options, zk::DescriptorData* result) {
    const OSErr status = zk::PlayRawConverterOpen(TestHost(), TestDocuments(), parameters, options, result);
    zk::ActionValue message;
    message.type = typeChar;
    message.bytes = "opened, with a warning";
    result->Put(keyMessage, message);
    return status;
  });
}

class ImageRequests : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    std::error_code ignored;
    // The extended-length form: some of its files have paths longer than the plain form takes.
    std::filesystem::remove_all(std::filesystem::path(L"\\\\?\\" + ScratchFolder()), ignored);
  }
  void SetUp() override {
    ResetTestHost();
    TestHost().Book().ResetCounts();  // a case's faults count its own calls
    records = AutomationUtils::RawFileRecords();
  }
  void TearDown() override {
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
  }
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
    for (size_t i = bytes; i < bytes + 4096; ++i)
      ASSERT_EQ(segment.Bytes()[i], 0xAB) << "written past the image at " << i;
    // The open added a document: it stays until the companion sends its image back.
    const zk::HostDocument* raw = OpenDocumentWithFile(path);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->depth, c.askedDepth);
    EXPECT_EQ(records.LoadedRawFiles, (AutomationUtils::LoadedRawFileMap{{path, false}}));
    ASSERT_EQ(records.RawFileMetadata.count(path), 1u);
    EXPECT_EQ(std::string(records.RawFileMetadata[path].begin(), records.RawFileMetadata[path].end()),
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
  EXPECT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 16)).at(0), "OK");
}

TEST_F(ImageRequests, AFailedRawLoadIsAnsweredWithoutAnExport) {
  CompanionSegment segment("export", 4096);
  const std::string missing = "C:\\no such folder\\missing.png";
  const FieldList reply = Served(HandleReadRaw, ReadRaw(missing, segment, 4096, 16));
  ASSERT_EQ(reply.size(), 2u);
  EXPECT_EQ(reply[0], "Error");
  EXPECT_EQ(reply[1].rfind("Unable to load RAW image " + missing + ": error ", 0), 0u) << reply[1];
  EXPECT_EQ(TestHost().Book().Calls("PSActionControl.Play"), 1) << "the open only";
  EXPECT_TRUE(records.LoadedRawFiles.empty());
  EXPECT_TRUE(segment.GoneAfterClose());
}

// A file that was open already is the person's. Right after the export it is closed only when it
// has no unsaved changes, the changes could be read and its record is found; the record is found
// as Windows finds the file, so a request that spells the path with '/' or in other letter case is
// the same file (such a request used to find no record). Whatever stays open after the export
// stays open, with its changes, through the next "SendImage", which closes only documents the
// bridge's own open added.
TEST_F(ImageRequests, AFileThatWasOpenAlreadyIsThePersonsThroughTheExportAndTheNextSendImage) {
  const struct {
    const char* name;
    bool dirty;
    std::function<std::string(std::string)> spelled;  // the request's spelling of the path
    std::function<void()> fault;                      // during the "ReadRaw"
    bool closedByTheExport;
  } cases[] = {
      {"saved", false, nullptr, nullptr, true},
      {"unsaved changes", true, nullptr, nullptr, false},
      {"saved, asked with '/'", false, WithSlashes, nullptr, true},
      {"saved, asked in upper case", false, InUpperCase, nullptr, true},
      {"unsaved changes, asked with '/'", true, WithSlashes, nullptr, false},
      {"saved, but its changes cannot be read",
       false, nullptr, [] { TestHost().Book().FailProcedure("PSActionDescriptor.GetBoolean", -25); }, false},
      {"saved, the close after the export fails (still \"OK\")",
       false, nullptr, [] { TestHost().Book().FailEvent(eventClose, -25); }, false},
  };
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
    const std::string asked = c.spelled ? c.spelled(path) : path;
    if (c.fault) c.fault();
    CompanionSegment segment("export", 16 * 8 * 6);
    EXPECT_EQ(Served(HandleReadRaw, ReadRaw(asked, segment, 16 * 8 * 6, 16)), (FieldList{"OK", "16", "8"}));
    EXPECT_EQ(segment.Read(16 * 8 * 6), picture.samples);
    EXPECT_EQ(records.LoadedRawFiles, (AutomationUtils::LoadedRawFileMap{{WithBackslashes(asked), true}}))
        << "keyed with '\\'";
    EXPECT_EQ(OpenDocumentWithFile(path) == nullptr, c.closedByTheExport);
    TestHost().Book().ClearFaults();

    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    EXPECT_EQ(Served(HandleSendImage, SendImage(asked, image, picture, metadata, 0)), FieldList{"OK"});
    bool dirty = false;
    EXPECT_EQ(OpenDocumentWithFile(path, &dirty) == nullptr, c.closedByTheExport) << "as the export left it";
    EXPECT_EQ(dirty, c.dirty) << "with its changes";
    EXPECT_EQ(records.LoadedRawFiles.count(path), 1u);
    EXPECT_EQ(TestDocuments().Documents().size(), c.closedByTheExport ? 1u : 2u) << "and the new document";
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

// A picture the host has no memory for fails the import with the host's out-of-memory status and
// a message that says so: no crash, no document, and the companion is told the status (the host's
// bad_alloc never reaches the module).
TEST_F(ImageRequests, AnImportTheHostHasNoMemoryForFailsWithItsStatus) {
  const zk::ImagePixels picture = Ramp(64, 48, 16);
  CompanionSegment image("image", picture.samples.size());
  CompanionSegment metadata("metadata", 16);
  image.Write(picture.samples);
  std::string message;
  TestHost().RegisterEvent(eventImport, [&message](DescriptorEventID, const zk::DescriptorData* parameters,
                                                   PIDialogPlayOptions, zk::DescriptorData* result) {
    zk::MadeDocument made;
    const OSErr status = zk::PlayImport(TestHost().TypeIds(), TestDocuments(), parameters, result, &made);
    if (const zk::ActionValue* text = result->Find(keyMessage)) message = text->bytes;
    return status;
  });
  FieldList reply;
  {
    const FailingAllocations noRoom(picture.samples.size());
    reply = Served(HandleSendImage, SendImage("C:\\a.png", image, picture, metadata, 0));
  }
  EXPECT_EQ(reply, (FieldList{"Error", "Unable to make a new document from segment " + image.Name() + ": error -108"}));
  EXPECT_EQ(message, "Not enough memory to hold a picture of 64 x 48 pixels at 16 bits (18432 bytes).");
  EXPECT_TRUE(TestDocuments().Documents().empty());
  EXPECT_TRUE(image.GoneAfterClose());
  EXPECT_TRUE(metadata.GoneAfterClose());
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
    ASSERT_FALSE(refused.empty());
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
  ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, exported, picture.samples.size(), 16)).at(0), "OK");
  ASSERT_EQ(records.RawFileMetadata.count(path), 1u);
  EXPECT_TRUE(records.RawFileMetadata[path].empty());

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

// A raw document whose open added it is closed by the next SendImage, once, also when the import
// fails (the companion is then told so, with the import's status).
TEST_F(ImageRequests, RawDocumentsTheBridgeOpenedAreClosedByTheNextSendImage) {
  for (const bool importFails : {false, true}) {
    SCOPED_TRACE(importFails ? "import fails" : "import works");
    SetUp();
    const zk::ImagePixels picture = Ramp(12, 10, 16);
    const std::string path = PictureFile("raw.png", picture);
    TestDocuments().Open(zk::HostDocument{"keep.psd", "C:\\keep.psd", 10, 10});
    CompanionSegment exported("export", picture.samples.size());
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, exported, picture.samples.size(), 16)).at(0), "OK");
    ASSERT_NE(OpenDocumentWithFile(path), nullptr);
    if (importFails) TestHost().Book().FailEvent(eventImport, -1);

    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    // "OK" only when the image is in the host: the companion would tell the person it is.
    const FieldList expected = importFails ? FieldList{"Error", "Unable to make a new document from segment " +
                                                                    image.Name() + ": error -1"}
                                           : FieldList{"OK"};
    EXPECT_EQ(Served(HandleSendImage, SendImage(path, image, picture, metadata, 0)), expected);
    EXPECT_EQ(OpenDocumentWithFile(path), nullptr) << "closed without saving";
    EXPECT_NE(OpenDocumentWithFile("C:\\keep.psd"), nullptr) << "not one the bridge opened";
    EXPECT_TRUE(records.LoadedRawFiles.empty());
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

// A raw document the bridge opened may have been worked on since: a "SendImage" (of this run or a
// later one) never closes one with unsaved changes, nor one whose changes it cannot read. That one
// stays open and keeps its record, the other raw documents are closed, and once the person has
// saved it a later "SendImage" closes it.
TEST_F(ImageRequests, ARawDocumentWithChangesIsLeftOpenAndTriedAgainLater) {
  const struct {
    const char* name;
    bool editedAsItOpens;                    // a person working on it while the companion runs
    bool editedAfterTheExport;
    std::function<void()> duringSendImage;
    bool dirty;
  } cases[] = {
      {"changed as it opened", true, false, nullptr, true},
      {"changed after the export", false, true, nullptr, true},
      // The second changes read is the kept document's: the other one is the last, read first.
      {"its changes cannot be read", false, false,
       [] { TestHost().Book().FailProcedure("PSActionDescriptor.GetBoolean", -25, 2); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const zk::ImagePixels picture = Ramp(12, 10, 8);
    const std::string kept = PictureFile("kept.png", picture);
    const std::string other = PictureFile("other.png", picture);
    CompanionSegment exported("export", picture.samples.size());
    TestImageEvents().EditRawDocuments(c.editedAsItOpens);
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(kept, exported, 0, 8)).at(0), "OK");
    TestImageEvents().EditRawDocuments(false);
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(other, exported, 0, 8)).at(0), "OK");
    ASSERT_NE(OpenDocumentWithFile(kept), nullptr);
    if (c.editedAfterTheExport) TestDocuments().SetUnsavedChanges(OpenDocumentWithFile(kept)->id, true);
    TestHost().Book().ResetCounts();  // the faults count the calls of the "SendImage"
    if (c.duringSendImage) c.duringSendImage();

    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    EXPECT_EQ(Served(HandleSendImage, SendImage(kept, image, picture, metadata, 0)), FieldList{"OK"});
    bool dirty = false;
    EXPECT_NE(OpenDocumentWithFile(kept, &dirty), nullptr) << "never closed without saving";
    EXPECT_EQ(dirty, c.dirty) << "with its changes";
    EXPECT_EQ(OpenDocumentWithFile(other), nullptr) << "the others are closed all the same";
    EXPECT_EQ(records.LoadedRawFiles, (AutomationUtils::LoadedRawFileMap{{kept, false}})) << "kept for later";
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();

    TestHost().Book().ClearFaults();
    TestDocuments().SetUnsavedChanges(OpenDocumentWithFile(kept)->id, false);  // the person saves it
    EXPECT_EQ(Served(HandleSendImage, SendImage(kept, image, picture, metadata, 0)), FieldList{"OK"});
    EXPECT_EQ(OpenDocumentWithFile(kept), nullptr);
    EXPECT_TRUE(records.LoadedRawFiles.empty());
  }
}

// What "ReadRaw" answers when the raw load goes wrong at each step, what is recorded for the file,
// and whether its document is open. A document that opened and was measured is exported even when
// a count of documents could not be read; without both counts nobody knows whose document it is,
// so nothing is recorded and the bridge never closes it. The reply says what went wrong: the
// host's own status where the host refused, in words where the module did. A host that refused
// the path's alias with 'Parm' used to be reported as "the path cannot be passed to the host",
// since the module's own refusal had that very value.
TEST_F(ImageRequests, ReadRawFailsOnlyWhenNothingWasMeasured) {
  const struct {
    const char* name;
    std::function<void()> fault;
    std::string failure;  // empty: the reply is "OK", the width and the height
    bool opened;
    bool recorded;
  } cases[] = {
      {"every step works", nullptr, "", true, true},
      {"the count before the open cannot be read",
       [] { TestHost().Book().FailProcedure("PSActionControl.Get", -25, 1); }, "", true, false},
      {"the count after the open cannot be read",
       [] { TestHost().Book().FailProcedure("PSActionControl.Get", -25, 3); }, "", true, false},
      {"the opened document's identifier cannot be read",
       [] { TestHost().Book().FailProcedure("PSActionDescriptor.GetInteger", -25, 5); }, "", true, false},
      {"the document cannot be read", [] { TestHost().Book().FailProcedure("PSActionControl.Get", -25, 2); },
       "error -25", true, false},
      {"its resolution cannot be read",
       [] { TestHost().Book().FailProcedure("PSActionDescriptor.GetFloat", -1703); }, "error -1703", true, false},
      {"the open answers 0 with a message", OpenWithAMessage,
       "the host's open answered with a message: opened, with a warning", true, false},
      {"the open answers 0 without a result", [] { TestHost().Book().PlayWithoutResult(eventOpen); },
       "the host's open answered no result", true, false},
      {"the alias suite makes no alias",
       [] { TestHost().Book().FailProcedure("PSAlias.UnicodePathToAlias", -108); }, "error -108", false, false},
      {"the alias suite refuses the path with 'Parm'",
       [] { TestHost().Book().FailProcedure("PSAlias.UnicodePathToAlias", kSPBadParameterError); },
       "error 1348563565 ('Parm')", false, false},
      {"without the alias suite, no alias can be made",
       [] {
         WithoutAliasSuite();
         TestHost().Book().FailProcedure("PSHandle.New", -108);
       },
       "error -108", false, false},
      {"without the alias suite, the alias cannot be filled",
       [] {
         WithoutAliasSuite();
         TestHost().Book().FailProcedure("PSHandle.SetLock", -108);
       },
       "error -108", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const zk::ImagePixels picture = Ramp(9, 7, 16);
    const std::string path = PictureFile("load.png", picture);
    CompanionSegment segment("export", picture.samples.size());
    if (c.fault) c.fault();
    const FieldList expected = c.failure.empty() ? FieldList{"OK", "9", "7"}
                                                 : FieldList{"Error", "Unable to load RAW image " + path + ": " + c.failure};
    EXPECT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 16)), expected);
    EXPECT_EQ(OpenDocumentWithFile(path) != nullptr, c.opened);
    EXPECT_EQ(TestHost().Book().Plays(eventExport), c.failure.empty() ? 1 : 0) << "an export only of a measured one";
    EXPECT_EQ(records.LoadedRawFiles.count(path), c.recorded ? 1u : 0u);
    EXPECT_EQ(records.RawFileMetadata.count(path), c.failure.empty() ? 1u : 0u);
  }
}

// An open that answers success may have opened nothing: a person cancelled the raw converter's
// dialog, and the host answers status 0 with an empty result. The bridge used to measure whatever
// document was active (the person's own), record it as "open already" and export its pixels to
// the companion as the raw file's. Now the requested file's document must be the active one: else
// the companion is told the raw file was not opened, and nothing is exported, recorded or closed.
TEST_F(ImageRequests, AnOpenThatOpenedNothingExportsNothing) {
  enum Active { PersonsPicture, RequestedFile, NeverSaved, Nothing };
  const struct {
    const char* name;
    Active active;
    bool cancelEveryOpen;
    std::vector<std::string> dialogAnswers;  // the raw converter's dialog shown and answered so
    bool opened;
  } cases[] = {
      {"a cancelled open, the person's picture active", PersonsPicture, true, {}, false},
      {"a cancelled open, a document never saved active", NeverSaved, true, {}, false},
      {"a cancelled open, no document open", Nothing, true, {}, false},
      {"the converter's dialog cancelled", PersonsPicture, false, {"cancel"}, false},
      {"the converter's dialog answered OK", PersonsPicture, false, {"ok"}, true},
      {"a cancelled open of the file whose document is active already", RequestedFile, true, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const zk::ImagePixels picture = Ramp(9, 7, 16);
    const std::string raw = PictureFile("raw.png", picture);
    const std::string mine = PictureFile("mine.png", Ramp(5, 5, 16));
    zk::HostDocument active = c.active == RequestedFile ? zk::HostDocument{"raw.png", raw, 9, 7}
                              : c.active == NeverSaved  ? zk::HostDocument{"Untitled-1", "", 5, 5}
                                                        : zk::HostDocument{"mine.png", mine, 5, 5};
    active.depth = 16;
    if (c.active == RequestedFile) active.samples = picture.samples;
    if (c.active != Nothing) TestDocuments().Open(active);
    const size_t documentsBefore = TestDocuments().Documents().size();
    TestHost().Answers().cancelEveryRawOpen = c.cancelEveryOpen;
    TestHost().Answers().rawConverterDialog = !c.dialogAnswers.empty();
    CompanionSegment segment("export", picture.samples.size());

    FieldList reply;
    {
      zk::ModalRobot robot(c.dialogAnswers);
      reply = Served(HandleReadRaw, ReadRaw(raw, segment, 0, 16));
      EXPECT_EQ(robot.Seen().size(), c.dialogAnswers.size()) << "the converter's dialog";
    }
    ASSERT_FALSE(reply.empty());
    if (c.opened) {
      EXPECT_EQ(reply, (FieldList{"OK", "9", "7"}));
      EXPECT_EQ(segment.Read(picture.samples.size()), picture.samples) << "the raw file's pixels";
      continue;
    }
    const std::string failure = "Unable to load RAW image " + raw + ": ";
    ASSERT_EQ(reply.size(), 2u);
    EXPECT_EQ(reply[0], "Error");
    EXPECT_EQ(reply[1].rfind(failure, 0), 0u) << reply[1];
    if (c.active != Nothing) {
      EXPECT_EQ(reply[1], failure + "the raw file was not opened (the host did not make it the active document)");
    }
    EXPECT_EQ(TestHost().Book().Plays(eventExport), 0) << "nothing exported";
    EXPECT_EQ(segment.Read(16), std::vector<uint8_t>(16, 0)) << "nothing written";
    EXPECT_TRUE(records.LoadedRawFiles.empty());
    EXPECT_TRUE(records.RawFileMetadata.empty());
    EXPECT_EQ(TestDocuments().Documents().size(), documentsBefore);

    // The next "SendImage" closes none of the person's documents.
    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    EXPECT_EQ(Served(HandleSendImage, SendImage(raw, image, picture, metadata, 0)), FieldList{"OK"});
    EXPECT_EQ(TestDocuments().Documents().size(), documentsBefore + 1) << "and the new document";
    EXPECT_EQ(TestHost().Book().Plays(eventClose), 0);
  }
}

// Where the real host's answer is not known, or hosts differ, the stand-in gives either answer
// (docs/host-fidelity.md); under each, "ReadRaw" hands over the same pixels and the next
// "SendImage" closes the raw document the bridge's open added, and only that one.
TEST_F(ImageRequests, EitherAnswerOfTheHostGivesTheSamePixelsAndClosesTheSameDocument) {
  const struct {
    const char* name;
    std::function<void(zk::HostAnswers&)> answer;
    bool personHasItOpen;  // a document of the file, the person's, open before the request
  } cases[] = {
      {"the stand-in's defaults", [](zk::HostAnswers&) {}, false},
      {"the depth asked for ignored", [](zk::HostAnswers& a) { a.rawOwnDepth = true; }, false},
      {"an integer read of a unit value refused", [](zk::HostAnswers& a) { a.refuseIntegerOfUnitValue = true; }, false},
      {"dozens of keys in each document", [](zk::HostAnswers& a) { a.heavyDocuments = true; }, false},
      {"'FilR' typed 'Pth '", [](zk::HostAnswers& a) { a.fileReferenceType = typePath; }, false},
      {"8-bit texts in UTF-8", [](zk::HostAnswers& a) { a.narrowTexts = zk::NarrowTexts::Utf8; }, false},
      {"a file open already opens once more", [](zk::HostAnswers& a) { a.rawOpenAgain = true; }, true},
      {"files named as the open asked for them", [](zk::HostAnswers& a) { a.rawFileNamesAsAsked = true; }, false},
  };
  const zk::ImagePixels picture = Ramp(7, 5, 8);
  std::vector<uint8_t> reference;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    c.answer(TestHost().Answers());
    const std::string path = PictureFile("answers.png", picture);
    if (c.personHasItOpen) TestDocuments().Open(zk::HostDocument{"answers.png", path, 7, 5});
    CompanionSegment segment("export", 7 * 5 * 6);
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 16)), (FieldList{"OK", "7", "5"}));
    if (reference.empty()) reference = segment.Read(7 * 5 * 6);
    EXPECT_EQ(segment.Read(7 * 5 * 6), reference) << "the file's pixels at 16 bits";

    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    EXPECT_EQ(Served(HandleSendImage, SendImage(path, image, picture, metadata, 0)), FieldList{"OK"});
    std::vector<std::string> files;
    for (const zk::HostDocument& document : TestDocuments().Documents()) files.push_back(document.file);
    const std::vector<std::string> expected =
        c.personHasItOpen ? std::vector<std::string>{path, ""} : std::vector<std::string>{""};
    EXPECT_EQ(files, expected) << "the person's document if there was one, and the new one";
    EXPECT_TRUE(records.LoadedRawFiles.empty());
  }
}

// The bridge closes exactly the document its open added, found by its identifier, whatever the
// host's order of documents. A file the person has open, opened once more by a host that does so:
// the bridge's document used to be picked by its file, highest index first, so once the person
// had dragged its tab before theirs, the person's document was closed and the bridge's stayed.
TEST_F(ImageRequests, TheBridgeClosesOnlyTheDocumentItsOpenAdded) {
  const struct {
    const char* name;
    size_t bridgesIndex;  // where the bridge's document is in the host's order at the "SendImage"
  } cases[] = {{"in the opening order", 1}, {"its tab dragged before the person's", 0}};
  const zk::ImagePixels picture = Ramp(6, 4, 8);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    TestHost().Answers().rawOpenAgain = true;
    const std::string path = PictureFile("twice-open.png", picture);
    zk::HostDocument persons{"twice-open.png", path, 6, 4};
    persons.samples = picture.samples;
    const uint32_t mine = TestDocuments().Open(persons);
    CompanionSegment segment("export", picture.samples.size());
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 8)), (FieldList{"OK", "6", "4"}));
    ASSERT_EQ(TestDocuments().Documents().size(), 2u);
    const uint32_t bridges = TestDocuments().Target()->id;
    ASSERT_NE(bridges, mine);
    ASSERT_TRUE(TestDocuments().MoveTo(bridges, c.bridgesIndex));

    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    EXPECT_EQ(Served(HandleSendImage, SendImage(path, image, picture, metadata, 0)), FieldList{"OK"});
    EXPECT_NE(TestDocuments().ById(mine), nullptr) << "the person's document";
    EXPECT_EQ(TestDocuments().ById(bridges), nullptr) << "the bridge's document";
    EXPECT_TRUE(records.LoadedRawFiles.empty());
  }
}

// The metadata captured when the raw file was read goes with the image sent back for it, however
// the "SendImage" names the file. It used to be found only under the very spelling of the
// "ReadRaw": another spelling of the same file lost it, and the segment's bytes went instead.
TEST_F(ImageRequests, TheStoredMetadataIsFoundHoweverTheFileIsNamed) {
  const zk::ImagePixels picture = Ramp(5, 3, 8);
  const std::string path = PictureFile("Named Otherwise.png", picture);
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(std::wstring(path.begin(), path.end()).c_str(), shortName, MAX_PATH), 0u);
  const struct {
    const char* name;
    std::string source;
  } cases[] = {
      {"the same spelling", path},
      {"other letter case and '/'", WithSlashes(InUpperCase(path))},
      {"its short name", Narrow(shortName)},
      {"a trailing dot", path + "."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    CompanionSegment exported("export", picture.samples.size());
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, exported, 0, 8)).at(0), "OK");
    ASSERT_EQ(records.RawFileMetadata.size(), 1u);
    const size_t stored = records.RawFileMetadata.begin()->second.size();
    ASSERT_GT(stored, 3u);

    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 64);
    metadata.Write({'s', 'e', 'g'});
    EXPECT_EQ(Served(HandleSendImage, SendImage(c.source, image, picture, metadata, 3)), FieldList{"OK"});
    ASSERT_EQ(TestImageEvents().Imported().size(), 1u);
    EXPECT_EQ(TestImageEvents().Imported()[0].metadataBytes, stored) << "the stored metadata, not the segment's";
    // A second read of the file by another of its names replaces what is stored for it.
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(c.source, exported, 0, 8)).at(0), "OK");
    EXPECT_EQ(records.RawFileMetadata.size(), 1u);
  }
}

// The host names the file as the file system spells it; a request that spells it in other letter
// case or with '/' is the same file: it is exported, recorded once, and its document is closed by
// the next "SendImage".
TEST_F(ImageRequests, ARequestInOtherLetterCaseIsTheFileTheHostSpellsOtherwise) {
  const zk::ImagePixels picture = Ramp(6, 4, 8);
  const std::string path = PictureFile("Shot.PNG", picture);
  const std::string asked = WithSlashes(InUpperCase(path));
  CompanionSegment segment("export", picture.samples.size());
  ASSERT_EQ(Served(HandleReadRaw, ReadRaw(asked, segment, 0, 8)), (FieldList{"OK", "6", "4"}));
  const zk::HostDocument* raw = OpenDocumentWithFile(path);
  ASSERT_NE(raw, nullptr) << "the host's spelling, not the request's";
  EXPECT_EQ(raw->title, "Shot.PNG");
  EXPECT_EQ(records.LoadedRawFiles, (AutomationUtils::LoadedRawFileMap{{WithBackslashes(asked), false}}));
  ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 8))[0], "OK");
  EXPECT_EQ(TestDocuments().Documents().size(), 1u) << "opened once";
  EXPECT_EQ(records.LoadedRawFiles.size(), 1u) << "recorded once";

  CompanionSegment image("image", picture.samples.size());
  CompanionSegment metadata("metadata", 16);
  EXPECT_EQ(Served(HandleSendImage, SendImage(asked, image, picture, metadata, 0)), FieldList{"OK"});
  EXPECT_EQ(OpenDocumentWithFile(path), nullptr);
  EXPECT_TRUE(records.LoadedRawFiles.empty());
}

// Errors after the raw document opened: the reply says what failed, the document stays open (the
// next "SendImage" closes it, as any the bridge opened) and nothing is stored for the file.
TEST_F(ImageRequests, ReadRawErrorsAfterTheOpenLeaveTheDocumentOpen) {
  const zk::ImagePixels picture = Ramp(10, 6, 8);
  const struct {
    const char* name;
    std::function<void(const std::string& path)> prepare;
    uint64_t askedBytes;
    std::function<std::string(const std::string& path, const std::string& segment)> message;
    bool recordedAsOpenedHere;
  } cases[] = {
      {"a view above the segment's size", nullptr, 1 << 20,
       [](const std::string&, const std::string& segment) {
         return "Unable to map segment " + segment + ": error " + std::to_string(MapErrorFor(segment, 1 << 20));
       },
       true},
      {"the export fails", [](const std::string&) { TestHost().Book().FailEvent(eventExport, -25); }, 0,
       [](const std::string& path, const std::string&) { return "Unable to load RAW image " + path + ": error -25"; },
       true},
      {"a document that measures no pixels",
       [](const std::string& path) { TestDocuments().Open(zk::HostDocument{"zero.png", path, 0.2, 0.2}); }, 0,
       [](const std::string& path, const std::string&) {
         return "Unable to load RAW image " + path + ": it measures 0 x 0 pixels";
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const std::string path = PictureFile("later.png", picture);
    CompanionSegment segment("export", 65536);
    if (c.prepare) c.prepare(path);
    const FieldList reply = Served(HandleReadRaw, ReadRaw(path, segment, c.askedBytes, 8));
    EXPECT_EQ(reply, (FieldList{"Error", c.message(path, segment.Name())}));
    EXPECT_NE(OpenDocumentWithFile(path), nullptr);
    EXPECT_EQ(records.LoadedRawFiles, (AutomationUtils::LoadedRawFileMap{{path, !c.recordedAsOpenedHere}}));
    EXPECT_EQ(records.RawFileMetadata.count(path), 0u);
    EXPECT_EQ(segment.Read(16), std::vector<uint8_t>(16, 0)) << "nothing written";
  }
}

// The export plug-in hands the metadata over in chunks through the module's callback. A second
// "ReadRaw" of a path replaces what was stored for it, unless that export fails: then the stored
// metadata stays as it was. Chunks are kept in call order; a chunk with a negative length or no
// address is ignored; metadata beyond the cap fails the export before a byte of it is read.
TEST_F(ImageRequests, MetadataChunksOfASecondReadOfTheSamePath) {
  static const char kBytes[] = "0123456789abcdef";
  const int32_t cap = int32_t(AutomationUtils::kMostGrabbedMetadataBytes);
  const struct {
    const char* name;
    Chunks chunks;
    OSErr exportStatus;
    int32_t loadError;  // 0: "OK", and the chunks are stored
    std::string stored;
  } cases[] = {
      {"10, 0 and 5 bytes", {{kBytes, 10}, {kBytes + 10, 0}, {kBytes + 10, 5}}, 0, 0, "0123456789abcde"},
      {"a negative length and no address are ignored", {{kBytes, -1}, {nullptr, 5}, {kBytes + 4, 4}}, 0, 0, "4567"},
      {"no metadata at all", {}, 0, 0, ""},
      {"the export fails after a chunk", {{kBytes, 5}}, -25, -25, ""},
      {"beyond the cap", {{kBytes, 10}, {kBytes, cap - 9}, {kBytes, 1}}, 0, -108, ""},
      {"the largest length", {{kBytes, INT32_MAX}}, 0, -108, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const zk::ImagePixels picture = Ramp(5, 4, 8);
    const std::string path = PictureFile("twice.png", picture);
    CompanionSegment segment("export", picture.samples.size());
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 8)).at(0), "OK");
    const std::string first = Text(records.RawFileMetadata[path]);
    ASSERT_FALSE(first.empty());

    ExportDelivering(c.chunks, c.exportStatus);
    const FieldList expected = c.loadError == 0 ? FieldList{"OK", "5", "4"}
                                                : FieldList{"Error", "Unable to load RAW image " + path + ": error " +
                                                                         std::to_string(c.loadError)};
    EXPECT_EQ(Served(HandleReadRaw, ReadRaw(path, segment, 0, 8)), expected);
    EXPECT_EQ(Text(records.RawFileMetadata[path]), c.loadError == 0 ? c.stored : first);
    EXPECT_EQ(records.LoadedRawFiles, (AutomationUtils::LoadedRawFileMap{{path, false}})) << "the first load's";
  }
}

// The export succeeded, but there is no memory to hand its metadata on: it fails as an export whose
// metadata could not be kept (-108), the document it would have closed stays open as after any failed
// export, nothing is stored, and the log says why. The copy used to throw out of the export: the
// companion was told "Error processing ZKV request: " without a reason, and the close was skipped.
TEST_F(ImageRequests, NoMemoryToHandTheMetadataOnFailsTheExport) {
  const zk::ImagePixels picture = Ramp(6, 4, 8);
  const std::string path = PictureFile("no-memory.png", picture);
  zk::HostDocument open{"no-memory.png", path, 6, 4};
  open.samples = picture.samples;
  TestDocuments().Open(open);  // open and saved: a successful export closes it
  // The copy is the only allocation of exactly this size or more once the export has delivered it.
  const std::vector<char> metadata(3 * 1024 * 1024 + 5, 'm');
  std::unique_ptr<FailingAllocations> noMemory;
  ExportDelivering({{metadata.data(), int32_t(metadata.size())}}, 0,
                   [&] { noMemory = std::make_unique<FailingAllocations>(metadata.size(), 1); });
  CompanionSegment segment("export", picture.samples.size());
  const FieldList reply = Served(HandleReadRaw, ReadRaw(path, segment, 0, 8));
  ASSERT_NE(noMemory, nullptr) << "the export was never played";
  const int failed = noMemory->Failed();
  noMemory.reset();
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(reply, (FieldList{"Error", "Unable to load RAW image " + path + ": error -108"}));
  EXPECT_NE(OpenDocumentWithFile(path), nullptr) << "closed as after a successful export";
  EXPECT_EQ(records.RawFileMetadata.count(path), 0u);
  std::ifstream log(std::filesystem::path(LogFilePath), std::ios::binary);
  const std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(logged.find("GrabBuffer: no memory to hand the metadata on, export failed"), std::string::npos);
}

// When closing one raw document goes wrong, the others are closed all the same, and the companion
// is told "OK": its image arrived. Documents are closed last first, so "the first" is b. The one
// left open stays the bridge's (it used to be forgotten as it was picked, and then stayed open for
// good): the next "SendImage" closes it.
TEST_F(ImageRequests, ARawDocumentThatCannotBeClosedDoesNotStopTheOthers) {
  const struct {
    const char* name;
    std::function<void()> fault;
  } cases[] = {
      {"its select fails", [] { TestHost().Book().FailEvent(eventSelect, -25, 1); }},
      {"its close fails", [] { TestHost().Book().FailEvent(eventClose, -25, 1); }},
      // The integers read: the count of documents, then the identifiers, the new document's first.
      {"its identifier cannot be read", [] { TestHost().Book().FailProcedure("PSActionDescriptor.GetInteger", -25, 3); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const zk::ImagePixels picture = Ramp(6, 6, 8);
    const std::string a = PictureFile("a.png", picture), b = PictureFile("b.png", picture);
    CompanionSegment exported("export", picture.samples.size());
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(a, exported, 0, 8)).at(0), "OK");
    ASSERT_EQ(Served(HandleReadRaw, ReadRaw(b, exported, 0, 8)).at(0), "OK");
    TestHost().Book().ResetCounts();  // the faults count the calls of the "SendImage"
    c.fault();
    CompanionSegment image("image", picture.samples.size());
    CompanionSegment metadata("metadata", 16);
    EXPECT_EQ(Served(HandleSendImage, SendImage(a, image, picture, metadata, 0)), FieldList{"OK"});
    EXPECT_NE(OpenDocumentWithFile(b), nullptr);
    EXPECT_EQ(OpenDocumentWithFile(a), nullptr);
    EXPECT_EQ(records.LoadedRawFiles.count(b), 1u);
    EXPECT_EQ(records.LoadedRawFiles.count(a), 0u);

    TestHost().Book().ClearFaults();
    EXPECT_EQ(Served(HandleSendImage, SendImage(a, image, picture, metadata, 0)), FieldList{"OK"});
    EXPECT_EQ(OpenDocumentWithFile(b), nullptr) << "closed by the next one";
    EXPECT_TRUE(records.LoadedRawFiles.empty());
  }
}

// A path the host hands out is never cut to match a request. Through the alias suite the whole
// path is read, however long; its 8-bit form is read into a buffer of 1023 characters and the
// terminator, and a longer one is left unread. The person's document of a long path is active and
// the open opens nothing (as a cancelled one): a request for that path cut short is not its file.
TEST_F(ImageRequests, APathTooLongForTheBufferNeverMatches) {
  const std::wstring folder = ScratchFolder() + L"\\long";
  CreateDirectoryW(ScratchFolder().c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  const zk::ImagePixels picture = Ramp(4, 4, 8);
  for (const bool aliasSuite : {true, false}) {
    for (const size_t length : {size_t(1023), size_t(1024), size_t(1100)}) {
      SCOPED_TRACE(std::string(aliasSuite ? "with" : "without") + " the alias suite, " + std::to_string(length));
      SetUp();
      if (!aliasSuite) WithoutAliasSuite();
      const std::string path = Narrow(FileOfPathLength(folder, length));
      ASSERT_EQ(path.size(), length);
      zk::HostDocument mine{"long.psd", path, 4, 4};
      mine.samples = picture.samples;
      TestDocuments().Open(mine);
      TestHost().Answers().cancelEveryRawOpen = true;
      const std::string asked = path.substr(0, 1023);
      CompanionSegment segment("export", picture.samples.size());
      const FieldList reply = Served(HandleReadRaw, ReadRaw(asked, segment, 0, 8));
      if (length == 1023) {
        EXPECT_EQ(reply, (FieldList{"OK", "4", "4"})) << "the document of the very file";
      } else {
        EXPECT_EQ(reply, (FieldList{"Error", "Unable to load RAW image " + asked +
                                                 ": the raw file was not opened (the host did not make it the active "
                                                 "document)"}));
        EXPECT_EQ(TestHost().Book().Plays(eventExport), 0);
      }
    }
  }
}

// The order in which a request lets go of its segments: each view before its segment, and in
// "SendImage" the metadata's before the image's.
TEST_F(ImageRequests, RequestsLetGoOfTheirSegmentsInOrder) {
  const zk::ImagePixels picture = Ramp(4, 4, 8);
  const std::string path = PictureFile("order.png", picture);
  CompanionSegment exported("export", picture.samples.size()), image("image", picture.samples.size()),
      metadata("metadata", 16);
  const std::string e = exported.Name(), i = image.Name(), m = metadata.Name();
  const struct {
    const char* name;
    std::function<FieldList()> request;
    std::vector<std::string> released;
  } cases[] = {
      {"SendImage", [&] { return Served(HandleSendImage, SendImage(path, image, picture, metadata, 3)); },
       {"view " + m, "segment " + m, "view " + i, "segment " + i}},
      {"SendImage without its metadata segment",
       [&] { return Served(HandleSendImage, SendImage(path, image, picture, CompanionSegment("gone", 0), 3)); },
       {"view " + i, "segment " + i}},
      {"ReadRaw", [&] { return Served(HandleReadRaw, ReadRaw(path, exported, 0, 8)); },
       {"view " + e, "segment " + e}},
      {"ReadRaw whose view cannot be mapped", [&] { return Served(HandleReadRaw, ReadRaw(path, exported, 1 << 20, 8)); },
       {"segment " + e}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SegmentReleaseWatch watch({{e, exported.Bytes()}, {i, image.Bytes()}, {m, metadata.Bytes()}});
    c.request();
    EXPECT_EQ(watch.Releases(), c.released);
  }
}

}  // namespace
