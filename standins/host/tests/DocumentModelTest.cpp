// The stand-in host's documents as the module reaches them through ActionControl.Get.
#include "DocumentModel.h"
#include "SuiteTestSupport.h"
#include "TemporaryFolder.h"
#include "TextConvert.h"

#include <cstring>
#include <functional>

namespace {

class DocumentModelTest : public zk_test::HostSuitesTest {
 protected:
  void SetUp() override {
    HostSuitesTest::SetUp();
    documents.AttachTo(host);
  }
  // Get of a reference made of (class, form) elements, innermost first.
  OSErr Get(const std::function<void(PIActionReference)>& build, PIActionDescriptor* result) {
    PIActionReference reference = nullptr;
    ref->Make(&reference);
    build(reference);
    const OSErr status = control->Get(result, reference);
    ref->Free(reference);
    return status;
  }
  zk::DocumentModel documents;
};

TEST_F(DocumentModelTest, ApplicationCountsItsDocuments) {
  PIActionDescriptor result = nullptr;
  auto countProperty = [&](PIActionReference r) {
    ref->PutProperty(r, classProperty, keyNumberOfDocuments);
    ref->PutEnumerated(r, classApplication, typeOrdinal, enumTarget);
  };
  ASSERT_EQ(0, Get(countProperty, &result));
  int32_t count = -1;
  EXPECT_EQ(0, desc->GetInteger(result, keyNumberOfDocuments, &count));
  EXPECT_EQ(0, count);
  desc->Free(result);

  documents.Open(zk::HostDocument{"a", "C:\\a", 1, 1});
  documents.Open(zk::HostDocument{"b", "", 1, 1});
  ASSERT_EQ(0, Get(countProperty, &result));
  EXPECT_EQ(0, desc->GetInteger(result, keyNumberOfDocuments, &count));
  EXPECT_EQ(2, count);
  desc->Free(result);
}

TEST_F(DocumentModelTest, DocumentsByIndexTargetIdentifierAndProperty) {
  zk::HostDocument first{"first.psd", "C:\\Photos\\first.psd", 72, 36};
  first.unit = unitDistance;
  first.resolution = 300;
  first.depth = 16;
  const uint32_t firstId = documents.Open(first);
  zk::HostDocument second{"Untitled-1", "", 800, 600};
  second.dirty = true;
  documents.Open(second);

  PIActionDescriptor whole = nullptr;
  ASSERT_EQ(0, Get([&](PIActionReference r) { ref->PutIndex(r, classDocument, 1); }, &whole));
  char text[64] = {};
  EXPECT_EQ(0, desc->GetString(whole, keyTitle, text, sizeof text));
  EXPECT_STREQ("first.psd", text);
  Handle alias = nullptr;
  ASSERT_EQ(0, desc->GetAlias(whole, keyFileReference, &alias));
  EXPECT_STREQ("C:\\Photos\\first.psd", *alias) << "the old form: the path as 8-bit text first";
  handles->Dispose(alias);
  DescriptorUnitID unit = 0;
  double value = 0;
  EXPECT_EQ(0, desc->GetUnitFloat(whole, keyWidth, &unit, &value));
  EXPECT_EQ(unitDistance, unit);
  EXPECT_EQ(72.0, value);
  int32_t integer = 0;
  EXPECT_EQ(0, desc->GetInteger(whole, keyWidth, &integer)) << "a measurement also reads as an integer";
  EXPECT_EQ(72, integer);
  // The resolution is typed as the host types it: a unit double in pixels per inch, which the
  // plain double getter reads as well.
  EXPECT_EQ(0, desc->GetUnitFloat(whole, keyResolution, &unit, &value));
  EXPECT_EQ(unitDensity, unit);
  EXPECT_EQ(300.0, value);
  EXPECT_EQ(0, desc->GetFloat(whole, keyResolution, &value));
  EXPECT_EQ(300.0, value);
  EXPECT_EQ(0, desc->GetInteger(whole, keyDepth, &integer));
  EXPECT_EQ(16, integer);
  desc->Free(whole);

  // The target is the document opened last; a document never saved has no file reference.
  ASSERT_EQ(0,
            Get([&](PIActionReference r) { ref->PutEnumerated(r, classDocument, typeOrdinal, enumTarget); }, &whole));
  Boolean dirty = false, has = true;
  EXPECT_EQ(0, desc->GetBoolean(whole, keyIsDirty, &dirty));
  EXPECT_TRUE(dirty);
  EXPECT_EQ(0, desc->HasKey(whole, keyFileReference, &has));
  EXPECT_FALSE(has);
  desc->Free(whole);

  PIActionDescriptor property = nullptr;
  ASSERT_EQ(0, Get(
                   [&](PIActionReference r) {
                     ref->PutProperty(r, classProperty, keyTitle);
                     ref->PutIdentifier(r, classDocument, firstId);
                   },
                   &property));
  uint32_t count = 0;
  EXPECT_EQ(0, desc->GetCount(property, &count));
  EXPECT_EQ(1u, count) << "only the property asked for";
  desc->Free(property);

  PIActionDescriptor none = nullptr;
  EXPECT_EQ(zk::kStandInBadIndex, Get([&](PIActionReference r) { ref->PutIndex(r, classDocument, 3); }, &none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(zk::kStandInNoSuchObject, Get([&](PIActionReference r) { ref->PutIndex(r, FourCC("Lyr "), 1); }, &none));
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

// How a document's title and file reference are handed out, as the host's answers say: titles and
// the 8-bit text of paths in the ANSI code page by default (a character it lacks becomes '?'), or
// in UTF-8, and the title whole in its ZString form; 'FilR' typed 'alis' or 'Pth '; a cloud document's reference names no file.
TEST_F(DocumentModelTest, TitlesAndFileReferencesAsTheHostsAnswersSay) {
  const std::string jurgen = "C:\\Fotos\\J\xC3\xBCrgen\\\xE5\x86\x99.png";  // ü, and one Japanese letter
  const struct {
    const char* name;
    std::function<void(zk::HostAnswers&)> answer;
    std::string title;  // as GetString hands it out
    std::string text;   // the file reference's 8-bit text
    DescriptorTypeID type;
  } cases[] = {
      {"the defaults", [](zk::HostAnswers&) {}, "J\xFCrgen ?", "C:\\Fotos\\J\xFCrgen\\?.png", typeAlias},
      {"UTF-8", [](zk::HostAnswers& a) { a.narrowTexts = zk::NarrowTexts::Utf8; }, "J\xC3\xBCrgen \xE5\x86\x99",
       jurgen, typeAlias},
      {"'Pth '", [](zk::HostAnswers& a) { a.fileReferenceType = typePath; }, "J\xFCrgen ?",
       "C:\\Fotos\\J\xFCrgen\\?.png", typePath},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.Answers() = zk::HostAnswers();
    c.answer(host.Answers());
    zk::DocumentModel model;
    model.AttachTo(host);
    model.Open(zk::HostDocument{"J\xC3\xBCrgen \xE5\x86\x99", jurgen, 10, 10});
    PIActionDescriptor whole = nullptr;
    ASSERT_EQ(0, Get([&](PIActionReference r) { ref->PutIndex(r, classDocument, 1); }, &whole));
    char title[64] = {};
    EXPECT_EQ(0, desc->GetString(whole, keyTitle, title, sizeof title));
    EXPECT_EQ(c.title, title);
    ASZString wholeTitle = nullptr;
    ASSERT_EQ(0, desc->GetZString(whole, keyTitle, &wholeTitle)) << "the ZString form keeps every character";
    ASUnicode units[16] = {};
    EXPECT_EQ(kSPNoError, zstrings->AsUnicodeCString(wholeTitle, units, 16, 0));
    EXPECT_EQ(std::u16string(u"J\u00FCrgen \u5199"), std::u16string(reinterpret_cast<const char16_t*>(units)));
    zstrings->Release(wholeTitle);
    DescriptorTypeID type = 0;
    EXPECT_EQ(0, desc->GetType(whole, keyFileReference, &type));
    EXPECT_EQ(c.type, type);
    Handle alias = nullptr;
    ASSERT_EQ(0, desc->GetAlias(whole, keyFileReference, &alias));
    EXPECT_EQ(c.text, *alias);
    handles->Dispose(alias);
    desc->Free(whole);
  }
}

// Opening a file that is open already finds its document as Windows finds a file: letter case and
// '/' against '\' make no difference. A document without a file, or with a cloud path, is none.
TEST(DocumentModelFiles, AFileIsFoundAsWindowsFindsIt) {
  zk::DocumentModel model;
  const uint32_t photo = model.Open(zk::HostDocument{"a.png", "C:\\Fotos\\J\xC3\xBCrgen\\a.png", 1, 1});
  model.Open(zk::HostDocument{"Untitled-1", "", 1, 1});
  zk::HostDocument cloud{"b.png", "C:\\Fotos\\b.png", 1, 1};
  cloud.cloud = true;
  model.Open(cloud);
  for (const char* spelled : {"C:\\Fotos\\J\xC3\xBCrgen\\a.png", "c:/fotos/j\xC3\xBCrgen/A.PNG",
                              "C:\\FOTOS\\J\xC3\x9CRGEN\\a.png"}) {
    const zk::HostDocument* found = model.ByFile(spelled);
    ASSERT_NE(nullptr, found) << spelled;
    EXPECT_EQ(photo, found->id);
  }
  EXPECT_EQ(nullptr, model.ByFile("C:\\Fotos\\Jurgen\\a.png"));
  EXPECT_EQ(nullptr, model.ByFile(""));
  EXPECT_EQ(nullptr, model.ByFile("C:\\Fotos\\b.png")) << "a cloud document has no file here";
}

// A file that is there is found by what it is, whatever the name either path gives it.
TEST(DocumentModelFiles, AFileThatIsThereIsFoundByAnyOfItsNames) {
  const zk_test::TemporaryFolder folder;
  const std::wstring path = folder.Path() + L"\\First Long Name.png";
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(path.c_str(), shortName, MAX_PATH), 0u);
  zk::DocumentModel model;
  const uint32_t photo = model.Open(zk::HostDocument{"photo", zk::WideToUtf8(shortName), 1, 1});
  for (const std::wstring& name : {path, path + L".", L"\\\\?\\" + path}) {
    const zk::HostDocument* found = model.ByFile(zk::WideToUtf8(name));
    ASSERT_NE(nullptr, found) << zk::WideToUtf8(name);
    EXPECT_EQ(photo, found->id);
  }
}

// A person may drag a document's tab elsewhere: the host's order is then not the opening order.
// Identifiers are never given twice, not even by another model in the same process (as a host
// never gives two documents of its life one identifier).
TEST(DocumentModelOrder, ADocumentMovedKeepsItsIdentifierAndTheTarget) {
  zk::DocumentModel model;
  const uint32_t a = model.Open(zk::HostDocument{"a", "", 1, 1});
  const uint32_t b = model.Open(zk::HostDocument{"b", "", 1, 1});
  const uint32_t c = model.Open(zk::HostDocument{"c", "", 1, 1});
  ASSERT_TRUE(model.Activate(b));
  ASSERT_TRUE(model.MoveTo(c, 0));
  std::vector<uint32_t> order;
  for (const zk::HostDocument& document : model.Documents()) order.push_back(document.id);
  EXPECT_EQ((std::vector<uint32_t>{c, a, b}), order);
  EXPECT_EQ(b, model.Target()->id);
  EXPECT_FALSE(model.MoveTo(c, 3));
  zk::DocumentModel another;
  const uint32_t d = another.Open(zk::HostDocument{"d", "", 1, 1});
  EXPECT_TRUE(d != a && d != b && d != c);
}

// What a real host's whole document carries beyond the keys modelled: dozens more, one of them a
// long text; asked for one property, only that one.
TEST_F(DocumentModelTest, HeavyDocumentsCarryManyKeysAndALongText) {
  documents.Open(zk::HostDocument{"a.psd", "C:\\a.psd", 1, 1});
  uint32_t light = 0, heavy = 0;
  for (uint32_t* count : {&light, &heavy}) {
    host.Answers().heavyDocuments = count == &heavy;
    PIActionDescriptor whole = nullptr;
    ASSERT_EQ(0, Get([&](PIActionReference r) { ref->PutIndex(r, classDocument, 1); }, &whole));
    EXPECT_EQ(0, desc->GetCount(whole, count));
    desc->Free(whole);
  }
  EXPECT_GE(heavy, light + 40);
  PIActionDescriptor whole = nullptr;
  ASSERT_EQ(0, Get([&](PIActionReference r) { ref->PutIndex(r, classDocument, 1); }, &whole));
  uint32_t length = 0;
  EXPECT_EQ(0, desc->GetStringLength(whole, FourCC("XMPM"), &length));
  EXPECT_GE(length, 100000u);
  desc->Free(whole);
}

TEST(DocumentSpec, ParsesWhatTheCommandLineSays) {
  zk::HostDocument document;
  std::string error;
  ASSERT_TRUE(zk::ParseDocumentSpec(
      "title=Dunes.tif|file=C:\\Photos\\Dunes.tif|width=72|height=48|unit=distance|resolution=300|depth=16|dirty=yes",
      &document, &error))
      << error;
  EXPECT_EQ("Dunes.tif", document.title);
  EXPECT_EQ("C:\\Photos\\Dunes.tif", document.file);
  EXPECT_EQ(72.0, document.width);
  EXPECT_EQ(48.0, document.height);
  EXPECT_EQ(unitDistance, document.unit);
  EXPECT_EQ(300.0, document.resolution);
  EXPECT_EQ(16, document.depth);
  EXPECT_TRUE(document.dirty);

  ASSERT_TRUE(zk::ParseDocumentSpec("title=Untitled-1", &document, &error));
  EXPECT_EQ("", document.file) << "never saved";
  EXPECT_EQ(unitPixels, document.unit);
  EXPECT_FALSE(document.cloud);
  ASSERT_TRUE(zk::ParseDocumentSpec("title=Shared|file=cloud:/Team/Shared.psd|cloud=yes", &document, &error));
  EXPECT_TRUE(document.cloud);

  for (const char* bad : {"file=C:\\a.psd", "title=a|width=wide", "title=a|unit=inch", "title=a|dirty=maybe",
                          "title=a|cloud=1", "title=a|colour=red", "title=a|width"}) {
    EXPECT_FALSE(zk::ParseDocumentSpec(bad, &document, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

}  // namespace
