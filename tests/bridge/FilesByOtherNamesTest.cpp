// A raw file asked for by any of its names: its short name, a second drive letter onto its folder
// (as `subst` or a mapped network drive makes), a symbolic link to its folder or to it, a trailing
// dot or blank, "." and ".." segments, the extended-length prefix. "ReadRaw" hands over its pixels
// and the next "SendImage" closes its document, whether the host names the opened file by its final
// path or as the open asked for it. The module used to compare the host's spelling with the
// request's: it answered "the raw file was not opened" although the file's document was active, and
// left that document open, one more with each retry.
//
// Run by files-by-other-names.sh, which makes the names only the Linux side can make (Wine's drive
// letters are links in the prefix's dosdevices folder) and says where they are:
// ZK_OTHER_NAMES_FOLDER (a folder below C:, holding "photos" and the links) and ZK_OTHER_NAMES_DRIVE
// (a drive letter onto that folder).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "FieldLists.h"
#include "HandlerReply.h"
#include "HostCodes.h"
#include "ImageFiles.h"
#include "ImageRequests.h"
#include "InProcessHost.h"
#include "InnerText.h"
#include "RawFileRecords.h"
#include "WindowsOwners.h"

namespace {

std::string Utf8(const std::wstring& text) {
  const std::u16string units(text.begin(), text.end());
  return UnitsToInnerText(units.data(), units.size());
}

std::string Environment(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

// A named segment as the companion makes it.
class Segment {
 public:
  Segment(const std::string& stem, size_t bytes)
      : name_("zk-other-names-" + std::to_string(GetCurrentProcessId()) + "-" + stem + "-" + std::to_string(++serial_)),
        handle_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, DWORD(bytes), name_.c_str())),
        view_(MapViewOfFile(handle_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0)) {}
  const std::string& Name() const { return name_; }
  std::vector<uint8_t> Read(size_t count) const {
    const auto* bytes = static_cast<const uint8_t*>(view_.Get());
    return std::vector<uint8_t>(bytes, bytes + count);
  }
  void Write(const std::string& text) { std::copy(text.begin(), text.end(), static_cast<char*>(view_.Get())); }

 private:
  static int serial_;
  std::string name_;
  UniqueHandle handle_;
  UniqueMappedView view_;
};
int Segment::serial_ = 0;

// What the module keeps of raw files from request to request; each case begins with none.
AutomationUtils::RawFileRecords records;

FieldList Served(ImageRequestHandler handler, const FieldList& request) { return HandlerReply(handler, request, records); }

class FilesByOtherNames : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = Environment("ZK_OTHER_NAMES_FOLDER");
    drive = Environment("ZK_OTHER_NAMES_DRIVE");
    ASSERT_FALSE(folder.empty() || drive.empty()) << "run by tests/bridge/files-by-other-names.sh";
    picture.width = 7;
    picture.height = 5;
    picture.depth = 8;
    for (size_t i = 0; i < 7 * 5 * 3; ++i) picture.samples.push_back(uint8_t(i * 29));
    std::string error;
    const std::wstring photos = std::wstring(folder.begin(), folder.end()) + L"\\photos\\";
    ASSERT_TRUE(zk::WritePngFile(photos + L"Shot Long Name.png", picture, &error)) << error;
    // The target of the link "linked.png" in the same folder.
    ASSERT_TRUE(zk::WritePngFile(photos + L"linked-target.png", picture, &error)) << error;
    path = folder + "\\photos\\Shot Long Name.png";
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(std::wstring(path.begin(), path.end()).c_str(), shortName, MAX_PATH), 0u);
    shortPath = Utf8(shortName);
    ASSERT_NE(shortPath, path);
  }

  // A host with no documents, and a module that has recorded no raw file yet.
  void Fresh() {
    ResetTestHost();
    records = AutomationUtils::RawFileRecords();
  }

  std::vector<std::pair<std::string, std::string>> Names() const {
    return {
        {"the path itself", path},
        {"its short name", shortPath},
        {"a second drive letter onto its folder", drive + "\\photos\\Shot Long Name.png"},
        {"a symbolic link to its folder", folder + "\\linked-photos\\Shot Long Name.png"},
        {"a symbolic link to the file", folder + "\\photos\\linked.png"},
        {"a trailing dot", path + "."},
        {"a trailing blank", path + " "},
        {"'.', '..' and a doubled separator", folder + "\\photos\\.\\..\\photos\\\\Shot Long Name.png"},
        {"the extended-length prefix", "\\\\?\\" + path},
    };
  }

  std::string folder, drive, path, shortPath;
  zk::ImagePixels picture;
};

TEST_F(FilesByOtherNames, ReadRawAndSendImageAnswerOkAndLeaveNoDocumentBehind) {
  for (const bool asAsked : {false, true}) {
    for (const auto& [name, asked] : Names()) {
      SCOPED_TRACE(std::string(asAsked ? "the host names files as asked, " : "the host names files by final path, ") +
                   name + ": " + asked);
      Fresh();
      TestHost().Answers().rawFileNamesAsAsked = asAsked;
      const uint32_t mine = TestDocuments().Open(zk::HostDocument{"mine.psd", "C:\\Fotos\\mine.psd", 30, 20});
      Segment exported("export", picture.samples.size());
      EXPECT_EQ(Served(HandleReadRaw, {"ReadRaw", asked, exported.Name(), "0", "8"}), (FieldList{"OK", "7", "5"}));
      EXPECT_EQ(exported.Read(picture.samples.size()), picture.samples);
      EXPECT_EQ(TestDocuments().Documents().size(), 2u) << "the raw file's document opened";

      Segment image("image", picture.samples.size()), metadata("metadata", 16);
      metadata.Write("seg");
      EXPECT_EQ(Served(HandleSendImage, {"SendImage", asked, image.Name(), "7", "5", "8", metadata.Name(), "3"}),
                FieldList{"OK"});
      EXPECT_EQ(TestDocuments().Documents().size(), 2u) << "the raw document is left behind";
      EXPECT_EQ(TestDocuments().Documents()[0].id, mine);
      ASSERT_EQ(TestImageEvents().Imported().size(), 1u);
      EXPECT_GT(TestImageEvents().Imported()[0].metadataBytes, 3u) << "the raw file's metadata, not the segment's";
      EXPECT_TRUE(records.LoadedRawFiles.empty());
    }
  }
}

// A file asked for by another name is not the document the person has active: a cancelled open
// (status 0, nothing opened) still answers the error and exports nothing. When the person's active
// document is the file itself, under whatever name, it is the file.
TEST_F(FilesByOtherNames, ACancelledOpenIsToldApartFromTheFileOpenAlready) {
  const std::string other = folder + "\\photos\\linked-target.png";
  for (const bool personHasTheFileOpen : {false, true}) {
    for (const auto& [name, asked] : Names()) {
      if (asked.find("linked.png") != std::string::npos) continue;  // that one is linked-target.png
      SCOPED_TRACE(std::string(personHasTheFileOpen ? "the file open already, " : "another file active, ") + name);
      Fresh();
      TestHost().Answers().cancelEveryRawOpen = true;
      zk::HostDocument persons{"active.png", personHasTheFileOpen ? path : other, 7, 5};
      persons.samples = picture.samples;
      persons.dirty = true;  // the person's work: never closed
      TestDocuments().Open(persons);
      Segment exported("export", picture.samples.size());
      const FieldList reply = Served(HandleReadRaw, {"ReadRaw", asked, exported.Name(), "0", "8"});
      if (personHasTheFileOpen) {
        EXPECT_EQ(reply, (FieldList{"OK", "7", "5"}));
        EXPECT_EQ(exported.Read(picture.samples.size()), picture.samples);
      } else {
        EXPECT_EQ(reply, (FieldList{"Error", "Unable to load RAW image " + asked +
                                                 ": the raw file was not opened (the host did not make it the active "
                                                 "document)"}));
        EXPECT_EQ(exported.Read(picture.samples.size()), std::vector<uint8_t>(picture.samples.size(), 0));
        EXPECT_EQ(TestHost().Book().Plays(eventExport), 0);
      }
      EXPECT_EQ(TestDocuments().Documents().size(), 1u);
      EXPECT_TRUE(records.OpenedRawDocuments.empty()) << "nothing of the bridge's to close";
    }
  }
}

}  // namespace
