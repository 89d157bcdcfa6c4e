// The document queries against the stand-in host's documents: which documents are listed and how
// they are measured, what "all saved" means, and that every host object is released on every
// path, also when any host call of the queries fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include "HostCodes.h"
#include "HostStatus.h"
#include "InProcessHost.h"
#include "NarrowText.h"
#include "TestPaths.h"
#include "TextConvert.h"

namespace ZentrastMisc {
namespace AutomationUtils {
// Found by argument lookup, so that lists of records compare in the expectations.
bool operator==(const DocumentInfo& a, const DocumentInfo& b) {
  return a.title == b.title && a.path == b.path && a.width == b.width && a.height == b.height && a.depth == b.depth;
}
}  // namespace AutomationUtils
}  // namespace ZentrastMisc

namespace {

using Document = AutomationUtils::DocumentInfo;

zk::HostDocument Saved(const std::string& title, const std::string& file, double width, double height,
                       int32_t depth = 8) {
  zk::HostDocument document;
  document.title = title;
  document.file = file;
  document.width = width;
  document.height = height;
  document.depth = depth;
  return document;
}

// A title is read as the host hands it out in 8 bits: what the ANSI code page cannot hold it hands
// out as '?' (titles name no file, and the module reads them as they come).
std::string TitleAsHandedOut(const std::string& utf8) {
  const zk::NarrowTexts narrow = TestHost().Answers().narrowTexts;
  return zk::Utf16ToUtf8(zk::NarrowToUtf16(zk::Utf8ToNarrow(utf8, narrow), narrow));
}

class DocumentQueries : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestHost(); }
  void TearDown() override {
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
  }
};

TEST_F(DocumentQueries, NoDocuments) {
  OSErr status = -1;
  EXPECT_TRUE(ListDocuments(&status).empty());
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(AutomationUtils::AllDocumentsSaved());
}

TEST_F(DocumentQueries, ListsSavedDocumentsInHostOrder) {
  TestDocuments().Open(Saved("Harbour.psd", "C:\\Photos\\Harbour.psd", 6000, 4000, 16));
  zk::HostDocument untitled = Saved("Untitled-1", "", 800, 600);
  untitled.dirty = true;
  TestDocuments().Open(untitled);
  TestDocuments().Open(Saved("Dunes.tif", "C:\\Photos\\Dunes.tif", 300, 200));
  EXPECT_EQ(ListDocuments(), (std::vector<Document>{{"Harbour.psd", "C:\\Photos\\Harbour.psd", 6000, 4000, 16},
                                                    {"Dunes.tif", "C:\\Photos\\Dunes.tif", 300, 200, 8}}));
}

// The host types the resolution as a unit double in pixels per inch; a plain double reads the same.
TEST_F(DocumentQueries, SizesBecomePixels) {
  const struct {
    const char* name;
    double width;
    DescriptorUnitID unit;
    double resolution;
    int32_t pixels;
    bool plainResolution;
  } cases[] = {
      {"72/72 inch at 300 ppi", 72, unitDistance, 300, 300, false},
      {"72/72 inch at 300 ppi, typed as a plain double", 72, unitDistance, 300, 300, true},
      {"pixels are taken as they are", 640, unitPixels, 300, 640, false},
      {"99.5 rounds up", 99.5, unitPixels, 72, 100, false},
      {"99.4 rounds down", 99.4, unitPixels, 72, 99, false},
      {"distance at 72 ppi is pixels", 48, unitDistance, 72, 48, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetTestHost();
    zk::HostDocument document = Saved("a.psd", "C:\\a.psd", c.width, c.width);
    document.unit = c.unit;
    document.resolution = c.resolution;
    document.plainResolution = c.plainResolution;
    TestDocuments().Open(document);
    const std::vector<Document> listed = ListDocuments();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].width, c.pixels);
    EXPECT_EQ(listed[0].height, c.pixels);
  }
}

// A host whose document reports its width in pixels and its height as a distance.
TEST_F(DocumentQueries, WidthIsConvertedWithTheHeightsUnit) {
  TestDocuments().Open(Saved("mixed.psd", "C:\\mixed.psd", 0, 0));
  TestHost().SetGetResolver([](const zk::ReferenceData& reference, zk::DescriptorData* result) {
    const OSErr status = TestDocuments().Resolve(reference, result);
    if (status == 0 && result->Find(keyWidth) != nullptr) {
      zk::ActionValue width = *result->Find(keyWidth), height = *result->Find(keyHeight);
      width.unit = unitPixels;
      width.number = 72;
      height.unit = unitDistance;
      height.number = 36;
      result->Put(keyWidth, width);
      result->Put(keyHeight, height);
      result->Put(keyResolution, [] {
        zk::ActionValue resolution;
        resolution.type = typeFloat;
        resolution.number = 200;
        return resolution;
      }());
    }
    return status;
  });
  const std::vector<Document> listed = ListDocuments();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].width, 200) << "72 taken as 1/72 inch at 200 ppi";
  EXPECT_EQ(listed[0].height, 100);
}

// Sizes that are no number of pixels at all (they used to be truncated to int32 undefined).
TEST_F(DocumentQueries, DocumentsWithoutAWholeSizeAreLeftOut) {
  const struct {
    const char* name;
    double width;
    DescriptorUnitID unit;
    double resolution;
  } cases[] = {
      {"not a number", std::nan(""), unitPixels, 72},
      {"infinite", HUGE_VAL, unitPixels, 72},
      {"beyond 32 bits", 3e9, unitPixels, 72},
      {"beyond 32 bits once converted", 1e9, unitDistance, 300},
      {"below -2^31", -3e9, unitPixels, 72},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetTestHost();
    TestDocuments().Open(Saved("fine.psd", "C:\\fine.psd", 10, 10));
    zk::HostDocument document = Saved("odd.psd", "C:\\odd.psd", c.width, 10);
    document.unit = c.unit;
    document.resolution = c.resolution;
    TestDocuments().Open(document);
    const std::vector<Document> listed = ListDocuments();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].title, "fine.psd");
  }
}

// A document is listed only with a whole path. Through the alias suite a path is read whole,
// however long; its 8-bit form fits 1023 characters, and one in which the system put '?' for a
// character the ANSI code page lacks names another file. A document without a title, or a cloud
// document (no file on this system), is left out too.
TEST_F(DocumentQueries, DocumentsThatCannotBeNamedAreLeftOut) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"zk-named-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  // Without the suite a path is a file's only when the file is there: this one is.
  const std::string fits = zk::WideToUtf8(FileOfPathLength(folder, 1023));
  ASSERT_EQ(fits.size(), 1023u);
  const std::string longer = "C:\\" + std::string(1100, 'p') + ".psd";
  const std::string japanese = "C:\\Fotos\\\xE5\x86\x99\xE7\x9C\x9F\\a.psd";
  for (const bool aliasSuite : {true, false}) {
    SCOPED_TRACE(aliasSuite ? "with the alias suite" : "without it");
    ResetTestHost();
    if (!aliasSuite) WithoutAliasSuite();
    TestDocuments().Open(Saved("", "C:\\no title.psd", 10, 10));
    TestDocuments().Open(Saved("long.psd", longer, 10, 10));
    TestDocuments().Open(Saved("fits.psd", fits, 10, 10));
    TestDocuments().Open(Saved("a.psd", japanese, 10, 10));
    zk::HostDocument cloud = Saved("cloud.psd", "cloud:/Fotos/cloud.psd", 10, 10);
    cloud.cloud = true;
    TestDocuments().Open(cloud);
    std::vector<Document> expected = {{"fits.psd", fits, 10, 10, 8}};
    if (aliasSuite) {
      expected.insert(expected.begin(), {"long.psd", longer, 10, 10, 8});
      expected.push_back({"a.psd", japanese, 10, 10, 8});
    }
    EXPECT_EQ(ListDocuments(), expected);
  }
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(L"\\\\?\\" + folder), ignored);
}

// A path read back without the alias suite is a file or nothing. Where the ANSI code page lacks a
// character the host hands out a look-alike in its 8-bit form ("Lodz" with an accent for the
// Polish city's name): that path names no file, and the document used to be listed with it. Now a
// decoded path is the document's only when its file is there; otherwise the document is left out,
// as one without a file is. Through the suite the whole path comes back, file or not.
TEST_F(DocumentQueries, APathReadBackWithoutTheSuiteIsAFileOrNothing) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"zk-read-back-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring lodz = folder + L"\\\u0141\u00F3d\u017A", juergen = folder + L"\\J\u00FCrgen";
  std::filesystem::create_directories(std::filesystem::path(lodz));
  std::filesystem::create_directories(std::filesystem::path(juergen));
  std::ofstream(std::filesystem::path(lodz + L"\\Rynek.psd")) << "x";
  std::ofstream(std::filesystem::path(juergen + L"\\Hafen.psd")) << "x";
  const std::string inLodz = zk::WideToUtf8(lodz + L"\\Rynek.psd");
  const std::string inJuergen = zk::WideToUtf8(juergen + L"\\Hafen.psd");
  const std::string gone = zk::WideToUtf8(folder + L"\\gone.psd");
  for (const bool aliasSuite : {true, false}) {
    SCOPED_TRACE(aliasSuite ? "with the alias suite" : "without it");
    ResetTestHost();
    if (!aliasSuite) WithoutAliasSuite();
    TestDocuments().Open(Saved("Rynek.psd", inLodz, 10, 10));
    TestDocuments().Open(Saved("Hafen.psd", inJuergen, 20, 20));
    TestDocuments().Open(Saved("gone.psd", gone, 30, 30));
    std::vector<Document> expected = {{"Hafen.psd", inJuergen, 20, 20, 8}};
    if (aliasSuite) {
      expected.insert(expected.begin(), {"Rynek.psd", inLodz, 10, 10, 8});
      expected.push_back({"gone.psd", gone, 30, 30, 8});
    }
    EXPECT_EQ(ListDocuments(), expected);
  }
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folder), ignored);
}

// Answers of a host that the stand-in can give either way, where the real host's is not known or
// differs from host to host: the same documents are listed. An integer read of a unit value used
// to leave every document out when the host refused it.
TEST_F(DocumentQueries, EitherAnswerOfTheHostListsTheSameDocuments) {
  const struct {
    const char* name;
    std::function<void(zk::HostAnswers&)> answer;
  } cases[] = {
      {"the stand-in's defaults", [](zk::HostAnswers&) {}},
      {"'FilR' typed 'Pth '", [](zk::HostAnswers& a) { a.fileReferenceType = typePath; }},
      {"an integer read of a unit value refused", [](zk::HostAnswers& a) { a.refuseIntegerOfUnitValue = true; }},
      {"dozens of keys and a long text in each document", [](zk::HostAnswers& a) { a.heavyDocuments = true; }},
      {"titles and 8-bit paths in UTF-8", [](zk::HostAnswers& a) { a.narrowTexts = zk::NarrowTexts::Utf8; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetTestHost();
    c.answer(TestHost().Answers());
    zk::HostDocument dunes = Saved("D\xC3\xBCnen.tif", "C:\\Fotos\\J\xC3\xBCrgen\\D\xC3\xBCnen.tif", 72, 48);
    dunes.unit = unitDistance;
    dunes.resolution = 300;
    TestDocuments().Open(dunes);
    TestDocuments().Open(Saved("\xE5\x86\x99\xE7\x9C\x9F.psd", "C:\\Fotos\\\xE5\x86\x99\xE7\x9C\x9F.psd", 64, 32, 16));
    EXPECT_EQ(ListDocuments(), (std::vector<Document>{
                                   {"D\xC3\xBCnen.tif", "C:\\Fotos\\J\xC3\xBCrgen\\D\xC3\xBCnen.tif", 300, 200, 8},
                                   {TitleAsHandedOut("\xE5\x86\x99\xE7\x9C\x9F.psd"),
                                    "C:\\Fotos\\\xE5\x86\x99\xE7\x9C\x9F.psd", 64, 32, 16}}));
  }
}

TEST_F(DocumentQueries, AllSavedStopsAtTheFirstDocumentWithChanges) {
  TestDocuments().Open(Saved("a.psd", "C:\\a.psd", 1, 1));
  EXPECT_TRUE(AutomationUtils::AllDocumentsSaved());
  for (int i = 0; i < 2; ++i) {
    zk::HostDocument dirty = Saved("dirty.psd", "C:\\dirty.psd", 1, 1);
    dirty.dirty = true;
    TestDocuments().Open(dirty);
  }
  TestHost().Book().ResetCounts();
  EXPECT_FALSE(AutomationUtils::AllDocumentsSaved());
  EXPECT_EQ(TestHost().Book().Calls("PSActionDescriptor.GetBoolean"), 2) << "the second dirty one is not read";
}

// "All saved" is never a guess: a document that cannot be checked counts as unsaved (it used to
// end the scan with "true"), as does a count that cannot be read.
TEST_F(DocumentQueries, AllSavedIsFalseWhenAnyDocumentCannotBeChecked) {
  const struct {
    const char* name;
    const char* procedure;
    int onlyCall;
    bool expected;
  } cases[] = {
      {"every document read", nullptr, 0, true},
      {"the count", "PSActionControl.Get", 1, false},
      {"the first document's descriptor", "PSActionControl.Get", 2, false},
      {"the last document's descriptor", "PSActionControl.Get", 3, false},
      {"the first document's flag", "PSActionDescriptor.GetBoolean", 1, false},
      {"the last document's flag", "PSActionDescriptor.GetBoolean", 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetTestHost();
    TestDocuments().Open(Saved("a.psd", "C:\\a.psd", 1, 1));
    TestDocuments().Open(Saved("b.psd", "C:\\b.psd", 1, 1));
    if (c.procedure != nullptr) TestHost().Book().FailProcedure(c.procedure, -25, c.onlyCall);
    EXPECT_EQ(AutomationUtils::AllDocumentsSaved(), c.expected);
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
  }
}

// Every host call the queries make fails in turn, at each of its calls: whatever is answered, no
// host object is left behind, and only documents that were read whole are listed.
TEST_F(DocumentQueries, EveryFailingHostCallReleasesEverything) {
  const char* procedures[] = {
      "PSActionReference.Make",      "PSActionReference.PutProperty", "PSActionReference.PutEnumerated",
      "PSActionReference.PutIndex",  "PSActionControl.Get",           "PSActionDescriptor.HasKey",
      "PSActionDescriptor.GetType",  "PSActionDescriptor.GetInteger", "PSActionDescriptor.GetAlias",
      "PSActionDescriptor.GetString", "PSActionDescriptor.GetUnitFloat", "PSActionDescriptor.GetFloat",
      "PSActionDescriptor.GetBoolean", "PSHandle.SetLock",             "PSHandle.GetSize",
  };
  auto open = [] {
    ResetTestHost();
    TestDocuments().Open(Saved("a.psd", "C:\\a.psd", 640, 480));
    zk::HostDocument never = Saved("Untitled-1", "", 10, 10);
    never.dirty = true;
    TestDocuments().Open(never);
    TestDocuments().Open(Saved("b.psd", "C:\\b.psd", 320, 240, 16));
  };
  open();
  const std::vector<Document> complete = ListDocuments();
  ASSERT_EQ(complete.size(), 2u);
  EXPECT_FALSE(AutomationUtils::AllDocumentsSaved()) << "Untitled-1 has changes";
  int injected = 0;
  for (const char* procedure : procedures) {
    open();
    ListDocuments();
    EXPECT_FALSE(AutomationUtils::AllDocumentsSaved());
    const int calls = TestHost().Book().Calls(procedure);
    for (int call = 1; call <= calls; ++call) {
      SCOPED_TRACE(std::string(procedure) + " failing at call " + std::to_string(call));
      open();
      TestHost().Book().FailProcedure(procedure, -25, call);
      for (const Document& listed : ListDocuments()) {
        EXPECT_TRUE(listed == complete[0] || listed == complete[1]) << listed.title;
      }
      // Untitled-1 has changes, and a document that cannot be checked counts as unsaved too.
      EXPECT_FALSE(AutomationUtils::AllDocumentsSaved());
      EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
      ++injected;
    }
  }
  EXPECT_GT(injected, 30);
}

}  // namespace
