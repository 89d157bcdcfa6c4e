// The events plug-ins play on the host's documents, played through the suites as a plug-in plays
// them: opening an image file through the raw converter, exporting into a caller's memory,
// importing from it, selecting, closing and making documents, and failing any of them on purpose.
#include "AliasBytes.h"
#include "DocumentImage.h"
#include "DocumentModel.h"
#include "GradientFiles.h"
#include "ExportPlugin.h"
#include "ImageEvents.h"
#include "ImageFiles.h"
#include "ImportPlugin.h"
#include "ModalRobot.h"
#include "NarrowText.h"
#include "RawConverter.h"
#include "SuiteTestSupport.h"
#include "TemporaryFolder.h"
#include "TestPictures.h"
#include "TextConvert.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>

namespace {

using zk_test::ExpectedAtDepth;
using zk_test::Ramp;

constexpr DescriptorKeyID keyNull = FourCC("null");
constexpr DescriptorKeyID keyUsing = FourCC("Usng");
constexpr uint8_t kGuard = 0xAB;
constexpr size_t kGuardBytes = 64;

// What the export's metadata callback received, piece by piece.
std::vector<std::string> g_pieces;
void CollectMetadata(const void* data, int32_t length) {
  g_pieces.emplace_back(static_cast<const char*>(data), size_t(length));
}

std::string AddressText(const void* address) { return std::to_string(reinterpret_cast<uintptr_t>(address)); }

std::string Joined(const std::vector<std::string>& pieces) {
  std::string all;
  for (const std::string& piece : pieces) all += piece;
  return all;
}

// A document with pixels of its own, as an import or the raw converter leaves it.
zk::HostDocument PictureDocument(const std::string& title, const zk::ImagePixels& image, const std::string& metadata) {
  zk::HostDocument document{title, "", double(image.width), double(image.height)};
  document.depth = image.depth;
  document.samples = image.samples;
  document.metadata = metadata;
  return document;
}

// The parameters of one export, as the plug-in gives them.
struct ExportCall {
  double width;
  double height;
  int32_t depth;
  std::string data;
  std::string callback = AddressText(reinterpret_cast<const void*>(&CollectMetadata));
};
// The parameters of one import.
struct ImportCall {
  double width;
  double height;
  int32_t depth;
  std::string data;
  int32_t metadataSize;
  std::string metadata;
};
class ImageEventsTest : public zk_test::HostSuitesTest {
 protected:
  void SetUp() override {
    HostSuitesTest::SetUp();
    documents.AttachTo(host);
    g_pieces.clear();
  }
  void TearDown() override { EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive(); }

  DescriptorTypeID TypeId(const char* stringId) {
    DescriptorTypeID id = 0;
    EXPECT_EQ(0, control->StringIDToTypeID(stringId, &id));
    return id;
  }

  // Plays the event with these parameters (freed here). message: the result's 'Msge'; id: its 'DocI'.
  OSErr Play(DescriptorEventID event, PIActionDescriptor parameters, std::string* message = nullptr,
             int32_t* id = nullptr) {
    PIActionDescriptor result = nullptr;
    const OSErr status = control->Play(&result, event, parameters, plugInDialogSilent);
    if (message) *message = Text(result, keyMessage);
    if (id) {
      EXPECT_EQ(0, desc->GetInteger(result, keyDocumentID, id));
    }
    if (result) desc->Free(result);
    desc->Free(parameters);
    return status;
  }

  // Plays 'Opn ' with these parameters (freed here). opened: the file the result names ("" for an
  // empty result); depth: the depth its 'As  ' settings give (0 without them).
  OSErr PlayOpen(PIActionDescriptor parameters, std::string* opened, int32_t* depth = nullptr,
                 std::string* message = nullptr, PIDialogPlayOptions options = plugInDialogDontDisplay) {
    PIActionDescriptor result = nullptr;
    const OSErr status = control->Play(&result, FourCC("Opn "), parameters, options);
    const zk::DescriptorData* data = host.Objects().Descriptor(result);
    if (message) *message = Text(result, keyMessage);
    opened->clear();
    if (depth) *depth = 0;
    zk::AliasContent file;
    const zk::ActionValue* alias = data ? data->Find(keyNull) : nullptr;
    if (alias && zk::ReadAliasBytes(alias->bytes, host.Answers().narrowTexts, &file))
      *opened = zk::Utf16ToUtf8(file.path);
    const zk::ActionValue* as = data ? data->Find(FourCC("As  ")) : nullptr;
    if (depth && as && as->object && as->object->Find(FourCC("BtDp"))) {
      *depth = as->object->Find(FourCC("BtDp"))->enumValue == FourCC("BD16") ? 16 : 8;
    }
    if (result) desc->Free(result);
    desc->Free(parameters);
    return status;
  }

  std::string Text(PIActionDescriptor d, DescriptorKeyID key) {
    uint32_t length = 0;
    if (!d || desc->GetStringLength(d, key, &length) != 0) return "";
    std::string text(length + 1, '\0');
    desc->GetString(d, key, &text[0], length + 1);
    text.resize(length);
    return text;
  }

  // Parameters whose 'Usng' is an object of the class of stringId, filled by fill.
  PIActionDescriptor Using(const char* stringId, const std::function<void(PIActionDescriptor)>& fill) {
    PIActionDescriptor inner = NewDescriptor();
    fill(inner);
    PIActionDescriptor outer = NewDescriptor();
    EXPECT_EQ(0, desc->PutObject(outer, keyUsing, TypeId(stringId), inner));
    desc->Free(inner);
    return outer;
  }

  // 'Opn ' of a file through the raw converter; depthCode null: no 'As  ' object.
  // The alias holds the path as 8-bit text in the host's narrow texts, as a plug-in without the
  // alias suite makes it; with wide, the alias suite's own alias of the path.
  PIActionDescriptor OpenParameters(const std::wstring& path, const char* depthCode, bool wide = false) {
    PIActionDescriptor parameters = NewDescriptor();
    Handle alias = nullptr;
    if (wide) {
      const PSAliasSuite2* aliases = nullptr;
      EXPECT_TRUE(Acquire(kPSAliasSuite, kPSAliasSuiteVersion2, &aliases));
      const std::u16string units(path.begin(), path.end());
      EXPECT_EQ(0, aliases->UnicodePathToAlias(reinterpret_cast<const uint16_t*>(units.c_str()), &alias));
    } else {
      const std::string text = zk::Utf8ToNarrow(zk::WideToUtf8(path), host.Answers().narrowTexts);
      alias = handles->New(int32_t(text.size() + 1));
      std::memcpy(*alias, text.c_str(), text.size() + 1);
    }
    EXPECT_EQ(0, desc->PutAlias(parameters, keyNull, alias));
    handles->Dispose(alias);
    if (depthCode) {
      PIActionDescriptor settings = NewDescriptor();
      const char code[5] = {depthCode[0], depthCode[1], depthCode[2], depthCode[3], '\0'};
      desc->PutEnumerated(settings, FourCC("BtDp"), FourCC("BtDp"), FourCC(code));
      EXPECT_EQ(0, desc->PutObject(parameters, FourCC("As  "), TypeId(kRawConverterStringId), settings));
      desc->Free(settings);
    }
    return parameters;
  }

  PIActionDescriptor ExportParameters(const ExportCall& e) {
    return Using(zk::kExportPluginStringId, [&](PIActionDescriptor d) {
      desc->PutFloat(d, FourCC("Hrzn"), e.width);
      desc->PutFloat(d, FourCC("Vrtc"), e.height);
      desc->PutInteger(d, keyDepth, e.depth);
      desc->PutString(d, FourCC("datA"), e.data.c_str());
      desc->PutString(d, FourCC("metC"), e.callback.c_str());
    });
  }

  PIActionDescriptor ImportParameters(const ImportCall& i) {
    return Using(zk::kImportPluginStringId, [&](PIActionDescriptor d) {
      desc->PutFloat(d, FourCC("Hrzn"), i.width);
      desc->PutFloat(d, FourCC("Vrtc"), i.height);
      desc->PutInteger(d, keyDepth, i.depth);
      desc->PutString(d, FourCC("datA"), i.data.c_str());
      desc->PutInteger(d, FourCC("metS"), i.metadataSize);
      desc->PutString(d, FourCC("metD"), i.metadata.c_str());
    });
  }

  // 'slct' or 'Cls ' naming a document by identifier; saving: the 'Svng' value, or null for none.
  PIActionDescriptor DocumentParameters(uint32_t id, const char* saving) {
    PIActionDescriptor parameters = NewDescriptor();
    if (id != 0) {
      PIActionReference reference = nullptr;
      ref->Make(&reference);
      ref->PutIdentifier(reference, classDocument, id);
      desc->PutReference(parameters, keyNull, reference);
      ref->Free(reference);
    }
    if (saving) {
      const char code[5] = {saving[0], saving[1], saving[2], saving[3], '\0'};
      desc->PutEnumerated(parameters, FourCC("Svng"), FourCC("YsN "), FourCC(code));
    }
    return parameters;
  }

  uint32_t TargetId() const { return documents.Target() ? documents.Target()->id : 0; }

  zk::DocumentModel documents;
  zk::ImageEvents events{host, documents};
  zk_test::TemporaryFolder folder;
};

// --- 'Opn ' through the raw converter

struct RawOpen {
  const char* what;
  int32_t fileDepth;
  const char* requested;  // 'BtDp' value, or null for no 'As  '
  int32_t depth;          // of the opened document
};

void PrintTo(const RawOpen& c, std::ostream* out) { *out << c.what; }

class RawConverterOpen : public ImageEventsTest, public testing::WithParamInterface<RawOpen> {};

TEST_P(RawConverterOpen, OpensTheFileAtTheDepthAskedFor) {
  const zk::ImagePixels file = Ramp(7, 5, GetParam().fileDepth);
  const std::wstring path = folder.Path() + L"\\fixture.png";
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(path, file, &error)) << error;
  documents.Open(zk::HostDocument{"Already open", "", 10, 10});

  std::string message, named;
  int32_t settingsDepth = 0;
  ASSERT_EQ(0, PlayOpen(OpenParameters(path, GetParam().requested), &named, &settingsDepth, &message)) << message;
  ASSERT_EQ(2u, documents.Documents().size());
  const zk::HostDocument& opened = *documents.Target();
  EXPECT_EQ(zk::WideToUtf8(path), named) << "the result names the opened file, as the host's does";
  EXPECT_EQ(GetParam().depth, settingsDepth) << "and the settings it opened with";
  EXPECT_EQ("fixture.png", opened.title);
  EXPECT_EQ(zk::WideToUtf8(path), opened.file);
  EXPECT_FALSE(opened.dirty);
  EXPECT_EQ(unitDistance, opened.unit) << "the size is reported in distance units";
  EXPECT_DOUBLE_EQ(7 * 72.0 / zk::kRawConverterResolution, opened.width);
  EXPECT_DOUBLE_EQ(zk::kRawConverterResolution, opened.resolution);
  int64_t width = 0, height = 0;
  ASSERT_TRUE(zk::DocumentPixelSize(opened, &width, &height));
  EXPECT_EQ(7, width);
  EXPECT_EQ(5, height);
  EXPECT_EQ(GetParam().depth, opened.depth);
  EXPECT_TRUE(ExpectedAtDepth(file.samples, GetParam().fileDepth, GetParam().depth) == opened.samples);
  EXPECT_NE(std::string::npos, opened.metadata.find(zk::WideToUtf8(path)));
  EXPECT_GT(opened.metadata.size(), 2 * zk::kMetadataPiece) << "long enough to go out in several pieces";
}

INSTANTIATE_TEST_SUITE_P(Cases, RawConverterOpen,
                         testing::Values(RawOpen{"8-bit file at 16 bits", 8, "BD16", 16},
                                         RawOpen{"8-bit file at 8 bits", 8, "BD8 ", 8},
                                         RawOpen{"16-bit file at 8 bits", 16, "BD8 ", 8},
                                         RawOpen{"16-bit file at 16 bits", 16, "BD16", 16},
                                         RawOpen{"16-bit file without settings", 16, nullptr, 16}));

// A gradient file opens without decoding and without pixels of its own: the export makes them,
// so a raw file of any size up to the host's largest sides costs the host no memory for them.
TEST_F(ImageEventsTest, RawConverterOpensAGradientFileWhosePixelsTheExportMakes) {
  const struct {
    int64_t width, height;
    int32_t fileDepth;
    const char* requested;
    int32_t depth;
  } cases[] = {{10, 5, 16, "BD8 ", 8}, {10, 5, 8, nullptr, 8}, {300000, 300000, 16, "BD16", 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const std::wstring path = folder.Path() + L"\\gradient-" + std::to_wstring(c.width) + L".raw";
    std::string error, message, named;
    ASSERT_TRUE(zk::WriteGradientFile(path, zk::GradientFile{c.width, c.height, c.fileDepth}, &error)) << error;
    int32_t settingsDepth = 0;
    ASSERT_EQ(0, PlayOpen(OpenParameters(path, c.requested), &named, &settingsDepth, &message)) << message;
    const zk::HostDocument& opened = *documents.Target();
    EXPECT_EQ(zk::WideToUtf8(path), opened.file);
    EXPECT_EQ(c.depth, opened.depth);
    EXPECT_EQ(c.depth, settingsDepth);
    int64_t width = 0, height = 0;
    ASSERT_TRUE(zk::DocumentPixelSize(opened, &width, &height));
    EXPECT_EQ(c.width, width);
    EXPECT_EQ(c.height, height);
    EXPECT_TRUE(opened.samples.empty()) << "no pixels held for it";
    if (c.width > 10) continue;
    zk::ImagePixels gradient;
    ASSERT_TRUE(zk::GradientImage(c.width, c.height, c.depth, &gradient));
    std::vector<uint8_t> segment(gradient.samples.size() + kGuardBytes, kGuard);
    ASSERT_EQ(0, Play(FourCC("Expr"), ExportParameters({double(c.width), double(c.height), c.depth,
                                                        AddressText(segment.data())}), &message))
        << message;
    EXPECT_TRUE(std::equal(gradient.samples.begin(), gradient.samples.end(), segment.begin()));
    EXPECT_EQ(kGuard, segment[gradient.samples.size()]);
  }
}

TEST_F(ImageEventsTest, RawConverterActivatesAFileThatIsAlreadyOpen) {
  const std::wstring path = folder.Path() + L"\\open.png";
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(path, Ramp(3, 2, 8), &error)) << error;
  std::string named;
  ASSERT_EQ(0, PlayOpen(OpenParameters(path, "BD16"), &named));
  const uint32_t first = TargetId();
  documents.Open(zk::HostDocument{"Other", "", 4, 4});
  ASSERT_NE(first, TargetId());

  // Asked for in other letter case and with '/': the same file.
  std::wstring spelled = path;
  std::transform(spelled.begin(), spelled.end(), spelled.begin(),
                 [](wchar_t c) { return c == L'\\' ? L'/' : towupper(c); });
  ASSERT_EQ(0, PlayOpen(OpenParameters(spelled, "BD8 "), &named));
  EXPECT_EQ(zk::WideToUtf8(path), named);
  EXPECT_EQ(2u, documents.Documents().size()) << "nothing new opened";
  EXPECT_EQ(first, TargetId());
  EXPECT_EQ(16, documents.Target()->depth) << "the open document is kept as it is";
}

// As a person working on it while the companion runs: each document the converter opens has
// unsaved changes right away; one that was open already is left as it was.
TEST_F(ImageEventsTest, RawConverterCanOpenDocumentsThatThePersonThenChanges) {
  const std::wstring path = folder.Path() + L"\\edited.png";
  const std::wstring already = folder.Path() + L"\\already.png";
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(path, Ramp(3, 2, 8), &error)) << error;
  ASSERT_TRUE(zk::WritePngFile(already, Ramp(3, 2, 8), &error)) << error;
  const uint32_t open = documents.Open(zk::HostDocument{"already.png", zk::WideToUtf8(already), 3, 2});
  events.EditRawDocuments(true);
  std::string named;
  ASSERT_EQ(0, PlayOpen(OpenParameters(path, "BD8 "), &named));
  EXPECT_TRUE(documents.Target()->dirty);
  ASSERT_EQ(0, PlayOpen(OpenParameters(already, "BD8 "), &named));
  EXPECT_EQ(open, TargetId());
  EXPECT_FALSE(documents.ById(open)->dirty);
}

// The path of the file to open comes as the alias suite's UTF-16 alias or as 8-bit text in the
// host's narrow texts (the ANSI code page by default). The host names the opened file as the file
// system spells it. 8-bit text in the ANSI code page cannot name a file the code page cannot hold:
// the '?' in its place names no file.
TEST_F(ImageEventsTest, RawConverterReadsTheFilesPathInEitherForm) {
  const struct {
    const char* name;
    std::wstring file;
    bool wide;
    zk::NarrowTexts narrow;
    bool opens;
  } cases[] = {
      {"ü as ANSI text", L"J\u00fcrgen.png", false, zk::NarrowTexts::Ansi, true},
      {"ü as UTF-8 text", L"J\u00fcrgen.png", false, zk::NarrowTexts::Utf8, true},
      {"ü through the alias suite", L"J\u00fcrgen.png", true, zk::NarrowTexts::Ansi, true},
      {"Japanese through the alias suite", L"\u5199\u771f.png", true, zk::NarrowTexts::Ansi, true},
      {"above U+FFFF through the alias suite", L"\U0001F305.png", true, zk::NarrowTexts::Ansi, true},
      {"Japanese as ANSI text", L"\u5199\u771f.png", false, zk::NarrowTexts::Ansi, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.Answers().narrowTexts = c.narrow;
    const std::wstring path = folder.Path() + L"\\" + c.file;
    std::string error;
    ASSERT_TRUE(zk::WritePngFile(path, Ramp(3, 2, 8), &error)) << error;
    std::wstring asked = path;
    std::transform(asked.begin(), asked.end(), asked.begin(), [](wchar_t ch) { return wchar_t(towlower(ch)); });
    std::string named, message;
    const OSErr status = PlayOpen(OpenParameters(asked, "BD8 ", c.wide), &named, nullptr, &message);
    if (!c.opens) {
      EXPECT_EQ(-43, status);
      EXPECT_NE(std::string::npos, message.find("there is no such file")) << message;
      continue;
    }
    ASSERT_EQ(0, status) << message;
    EXPECT_EQ(zk::WideToUtf8(path), named) << "as the file system spells it";
    EXPECT_EQ(zk::WideToUtf8(path), documents.Target()->file);
    EXPECT_EQ(zk::WideToUtf8(c.file), documents.Target()->title);
    ASSERT_TRUE(documents.Close(documents.Target()->id));
  }
}

// Which name the host gives the opened file: by default its final path (the letter case on disk,
// the long names), with rawFileNamesAsAsked the very spelling the open asked for. Either way a file
// open already is found by what it is, under any of its names, and not opened again.
TEST_F(ImageEventsTest, RawConverterNamesTheOpenedFileByItsFinalPathOrAsAsked) {
  const std::wstring path = folder.Path() + L"\\First Long Name.png";
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(path, Ramp(3, 2, 8), &error)) << error;
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(path.c_str(), shortName, MAX_PATH), 0u);
  std::wstring asked = shortName;
  std::transform(asked.begin(), asked.end(), asked.begin(), [](wchar_t ch) { return wchar_t(towlower(ch)); });
  ASSERT_NE(asked, path);
  for (const bool asAsked : {false, true}) {
    SCOPED_TRACE(asAsked ? "as asked" : "by its final path");
    host.Answers().rawFileNamesAsAsked = asAsked;
    std::string named;
    ASSERT_EQ(0, PlayOpen(OpenParameters(asked, "BD8 "), &named));
    const std::string expected = zk::WideToUtf8(asAsked ? asked : path);
    EXPECT_EQ(expected, named);
    EXPECT_EQ(expected, documents.Target()->file);
    const uint32_t opened = TargetId();
    documents.Open(zk::HostDocument{"Other", "", 4, 4});
    ASSERT_EQ(0, PlayOpen(OpenParameters(path + L".", "BD8 "), &named)) << "by yet another name";
    EXPECT_EQ(opened, TargetId());
    EXPECT_EQ(2u, documents.Documents().size()) << "nothing new opened";
    for (const zk::HostDocument& document : std::vector<zk::HostDocument>(documents.Documents())) {
      documents.Close(document.id);
    }
  }
}

// The answers a real host may give to an open: a cancelled one (status 0, an empty result,
// nothing opened, the active document unchanged), whether the person cancels the converter's
// dialog or the host is told to cancel every open; a file that is open already opened as one more
// document; the depth asked for ignored.
TEST_F(ImageEventsTest, RawConverterAnswersAsTheHostsAnswersSay) {
  const struct {
    const char* name;
    std::function<void(zk::HostAnswers&)> answer;
    std::vector<std::string> dialog;  // the robot's answers; a dialog is expected for each
    PIDialogPlayOptions options;
    bool openFile;  // asks for the file whose document is open already, else for another one
    size_t added;   // documents the open adds to the two open
    int32_t depth;  // of the target after the open
  } cases[] = {
      {"every open cancelled", [](zk::HostAnswers& a) { a.cancelEveryRawOpen = true; }, {}, plugInDialogDontDisplay,
       false, 0, 8},
      {"the dialog cancelled", [](zk::HostAnswers& a) { a.rawConverterDialog = true; }, {"cancel"},
       plugInDialogDontDisplay, false, 0, 8},
      {"the dialog answered OK", [](zk::HostAnswers& a) { a.rawConverterDialog = true; }, {"ok"},
       plugInDialogDontDisplay, false, 1, 16},
      {"no dialog when played silently", [](zk::HostAnswers& a) { a.rawConverterDialog = true; }, {},
       plugInDialogSilent, false, 1, 16},
      {"a file open already opens again", [](zk::HostAnswers& a) { a.rawOpenAgain = true; }, {},
       plugInDialogDontDisplay, true, 1, 16},
      {"the depth asked for is ignored", [](zk::HostAnswers& a) { a.rawOwnDepth = true; }, {}, plugInDialogDontDisplay,
       false, 1, 8},
  };
  const std::wstring path = folder.Path() + L"\\answers.png";
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(path, Ramp(3, 2, 8), &error)) << error;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.Answers() = zk::HostAnswers();
    c.answer(host.Answers());
    while (!documents.Documents().empty()) documents.Close(documents.Documents().front().id);
    zk::HostDocument own{"answers.png", zk::WideToUtf8(path), 3, 2};
    own.depth = 8;
    documents.Open(own);  // the file's own document: opened again only when the host does so
    const uint32_t active = documents.Open(zk::HostDocument{"mine.psd", "C:\\mine.psd", 5, 5});
    const std::wstring other = folder.Path() + L"\\other.png";
    ASSERT_TRUE(zk::WritePngFile(other, Ramp(3, 2, 8), &error)) << error;
    const std::wstring asked = c.openFile ? path : other;

    std::string named;
    int32_t settingsDepth = 0;
    zk::ModalRobot robot(c.dialog);
    const OSErr status = PlayOpen(OpenParameters(asked, "BD16"), &named, &settingsDepth, nullptr, c.options);
    EXPECT_EQ(robot.Seen().size(), c.dialog.size());
    EXPECT_EQ(0, status);
    EXPECT_EQ(2 + c.added, documents.Documents().size());
    if (c.added == 0) {
      EXPECT_EQ("", named) << "an empty result";
      EXPECT_EQ(active, TargetId()) << "the person's document is still the active one";
      continue;
    }
    EXPECT_EQ(zk::WideToUtf8(asked), named);
    EXPECT_EQ(zk::WideToUtf8(asked), documents.Target()->file);
    EXPECT_EQ(c.depth, documents.Target()->depth);
    EXPECT_EQ(c.depth, settingsDepth);
  }
}

struct RawRefusal {
  const char* what;
  std::function<PIActionDescriptor(ImageEventsTest&, const std::wstring& folder)> parameters;
  const char* messagePart;
};

void PrintTo(const RawRefusal& c, std::ostream* out) { *out << c.what; }

class RawConverterRefusal : public ImageEventsTest, public testing::WithParamInterface<RawRefusal> {
 public:
  PIActionDescriptor Open(const std::wstring& path, const char* depth) { return OpenParameters(path, depth); }
  PIActionDescriptor Empty() { return NewDescriptor(); }
  const PSActionDescriptorProcs* Descriptors() const { return desc; }
  DescriptorTypeID Id(const char* stringId) { return TypeId(stringId); }
};

TEST_P(RawConverterRefusal, FailsWithAMessageAndOpensNothing) {
  std::ofstream(std::filesystem::path(folder.Path() + L"\\garbage.png"), std::ios::binary) << "not a picture at all";
  std::string message;
  EXPECT_NE(0, Play(FourCC("Opn "), GetParam().parameters(*this, folder.Path()), &message));
  EXPECT_NE(std::string::npos, message.find(GetParam().messagePart)) << message;
  EXPECT_TRUE(documents.Documents().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RawConverterRefusal,
    testing::Values(
        RawRefusal{"missing file",
                   [](ImageEventsTest& t, const std::wstring& f) {
                     return static_cast<RawConverterRefusal&>(t).Open(f + L"\\missing.png", "BD16");
                   },
                   "no such file"},
        RawRefusal{"garbage file",
                   [](ImageEventsTest& t, const std::wstring& f) {
                     return static_cast<RawConverterRefusal&>(t).Open(f + L"\\garbage.png", "BD16");
                   },
                   "no image file"},
        RawRefusal{"gradient file beyond the host's largest picture",
                   [](ImageEventsTest& t, const std::wstring& f) {
                     std::string error;
                     zk::WriteGradientFile(f + L"\\wide.raw", zk::GradientFile{300001, 10, 16}, &error);
                     return static_cast<RawConverterRefusal&>(t).Open(f + L"\\wide.raw", "BD16");
                   },
                   "gradient file of no size"},
        RawRefusal{"no alias",
                   [](ImageEventsTest& t, const std::wstring&) { return static_cast<RawConverterRefusal&>(t).Empty(); },
                   "'null'"},
        RawRefusal{"depth the converter does not know",
                   [](ImageEventsTest& t, const std::wstring& f) {
                     return static_cast<RawConverterRefusal&>(t).Open(f + L"\\missing.png", "BD32");
                   },
                   "'BD32'"},
        RawRefusal{"settings of another class",
                   [](ImageEventsTest& t, const std::wstring& f) {
                     auto& test = static_cast<RawConverterRefusal&>(t);
                     PIActionDescriptor parameters = test.Open(f + L"\\missing.png", nullptr);
                     PIActionDescriptor settings = test.Empty();
                     test.Descriptors()->PutObject(parameters, FourCC("As  "), test.Id("someOtherConverter"), settings);
                     test.Descriptors()->Free(settings);
                     return parameters;
                   },
                   "another class"}));

// --- 'Expr' through the export plug-in

struct ExportDepths {
  int32_t document;
  int32_t exported;
};

void PrintTo(const ExportDepths& c, std::ostream* out) { *out << c.document << " bits exported at " << c.exported; }

class ExportPluginWrite : public ImageEventsTest, public testing::WithParamInterface<ExportDepths> {};

TEST_P(ExportPluginWrite, WritesExactlyThePictureAndHandsOnTheMetadataInPieces) {
  const zk::ImagePixels picture = Ramp(9, 4, GetParam().document);
  std::string metadata;
  for (int i = 0; metadata.size() < 700; ++i) metadata += "line " + std::to_string(i) + " of the metadata\n";
  documents.Open(PictureDocument("Picture", picture, metadata));

  const std::vector<uint8_t> expected = ExpectedAtDepth(picture.samples, GetParam().document, GetParam().exported);
  ASSERT_EQ(size_t(9 * 4 * 3 * GetParam().exported / 8), expected.size());
  std::vector<uint8_t> segment(expected.size() + kGuardBytes, kGuard);
  std::string message;
  const ExportCall call{9, 4, GetParam().exported, AddressText(segment.data())};
  ASSERT_EQ(0, Play(FourCC("Expr"), ExportParameters(call), &message)) << message;
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), segment.begin()));
  EXPECT_EQ(std::vector<uint8_t>(kGuardBytes, kGuard),
            std::vector<uint8_t>(segment.begin() + long(expected.size()), segment.end()))
      << "not one byte past the picture";

  EXPECT_EQ(metadata, Joined(g_pieces));
  EXPECT_NE(g_pieces.end(), std::find(g_pieces.begin(), g_pieces.end(), std::string()));
  EXPECT_GE(std::count_if(g_pieces.begin(), g_pieces.end(), [](const std::string& p) { return !p.empty(); }), 3);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportPluginWrite,
                         testing::Values(ExportDepths{8, 8}, ExportDepths{8, 16}, ExportDepths{16, 8},
                                         ExportDepths{16, 16}));

TEST_F(ImageEventsTest, ExportOfADocumentWithoutPixelsWritesTheGradient) {
  // 2.4 units of 1/72 inch at 300 pixels per inch: 10 pixels.
  zk::HostDocument described{"Described", "C:\\Photos\\Described.psd", 2.4, 1.2};
  described.unit = unitDistance;
  described.resolution = 300;
  documents.Open(described);
  std::vector<uint8_t> segment(10 * 5 * 6 + kGuardBytes, kGuard);
  std::string message;
  ASSERT_EQ(0, Play(FourCC("Expr"), ExportParameters({10, 5, 16, AddressText(segment.data())}), &message)) << message;
  auto sample = [&](size_t x, size_t y, int channel) {
    return zk::ReadSample(segment.data(), zk::SampleOffset(x, y, channel, 10, 16), 16);
  };
  EXPECT_EQ(0u, sample(0, 0, 0));
  EXPECT_EQ(65535u, sample(9, 0, 0)) << "red rises to the right";
  EXPECT_EQ(65535u, sample(0, 4, 1)) << "green rises downwards";
  EXPECT_EQ(65535u, sample(0, 0, 2));
  EXPECT_EQ(kGuard, segment[10 * 5 * 6]);
  EXPECT_EQ(std::vector<std::string>{""}, g_pieces) << "no metadata: one empty piece";
}

struct ExportRefusal {
  const char* what;
  std::function<void(ExportCall&)> change;
};

void PrintTo(const ExportRefusal& c, std::ostream* out) { *out << c.what; }

class ExportPluginRefusal : public ImageEventsTest, public testing::WithParamInterface<ExportRefusal> {};

TEST_P(ExportPluginRefusal, WritesNothing) {
  documents.Open(PictureDocument("Picture", Ramp(6, 4, 16), "metadata"));
  std::vector<uint8_t> segment(6 * 4 * 6 * 2, kGuard);  // room for more than the picture
  ExportCall call{6, 4, 16, AddressText(segment.data())};
  GetParam().change(call);
  std::string message;
  EXPECT_NE(0, Play(FourCC("Expr"), ExportParameters(call), &message));
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(std::vector<uint8_t>(segment.size(), kGuard), segment);
  EXPECT_TRUE(g_pieces.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportPluginRefusal,
    testing::Values(ExportRefusal{"wider than the document", [](ExportCall& e) { e.width = 7; }},
                    ExportRefusal{"lower than the document", [](ExportCall& e) { e.height = 3; }},
                    ExportRefusal{"a fraction of a pixel", [](ExportCall& e) { e.width = 6.5; }},
                    ExportRefusal{"depth 12", [](ExportCall& e) { e.depth = 12; }},
                    ExportRefusal{"null segment", [](ExportCall& e) { e.data = "0"; }},
                    ExportRefusal{"address with a leading zero", [](ExportCall& e) { e.data = "0" + e.data; }},
                    ExportRefusal{"address that is no number", [](ExportCall& e) { e.data = "0x1000"; }},
                    ExportRefusal{"address of no memory", [](ExportCall& e) { e.data = "4096"; }},
                    ExportRefusal{"callback that is data", [](ExportCall& e) { e.callback = e.data; }},
                    ExportRefusal{"no callback", [](ExportCall& e) { e.callback = "0"; }}));

TEST_F(ImageEventsTest, ExportRefusesParametersOfAnotherShapeAndAnEmptyHost) {
  std::vector<uint8_t> segment(64, kGuard);
  std::string message;
  const ExportCall call{2, 2, 8, AddressText(segment.data())};
  EXPECT_EQ(zk::kStandInNoSuchObject, Play(FourCC("Expr"), ExportParameters(call), &message));
  EXPECT_NE(std::string::npos, message.find("no document")) << message;

  documents.Open(zk::HostDocument{"Small", "", 2, 2});
  PIActionDescriptor wrongClass =
      Using("anotherPlugIn", [&](PIActionDescriptor d) { desc->PutFloat(d, FourCC("Hrzn"), 2); });
  EXPECT_EQ(zk::kStandInParamError, Play(FourCC("Expr"), wrongClass, &message));
  EXPECT_NE(std::string::npos, message.find("'Usng'")) << message;
  PIActionDescriptor integerWidth = ExportParameters(call);
  PIActionDescriptor settings = nullptr;
  desc->GetObject(integerWidth, keyUsing, nullptr, &settings);
  desc->PutInteger(settings, FourCC("Hrzn"), 2);
  desc->PutObject(integerWidth, keyUsing, TypeId(zk::kExportPluginStringId), settings);
  desc->Free(settings);
  EXPECT_EQ(zk::kStandInParamError, Play(FourCC("Expr"), integerWidth, &message));
  EXPECT_NE(std::string::npos, message.find("'Hrzn' must be a float")) << message;
  EXPECT_EQ(std::vector<uint8_t>(64, kGuard), segment);
}

// --- 'Impr' through the import plug-in

struct ImportCase {
  const char* what;
  int32_t depth;
  size_t metadataBytes;
};

void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.what; }

class ImportPluginMake : public ImageEventsTest, public testing::WithParamInterface<ImportCase> {};

TEST_P(ImportPluginMake, MakesAnUnsavedDocumentWithTheSamePixelsAndMetadata) {
  const zk::ImagePixels picture = Ramp(11, 3, GetParam().depth);
  std::string metadata(GetParam().metadataBytes, '\0');
  for (size_t i = 0; i < metadata.size(); ++i) metadata[i] = char(i * 31);  // any bytes, zeros included
  const std::string metadataAddress = metadata.empty() ? "0" : AddressText(metadata.data());
  documents.Open(zk::HostDocument{"Untitled-1", "", 5, 5});

  std::string message;
  int32_t id = 0;
  ASSERT_EQ(0, Play(FourCC("Impr"),
                    ImportParameters({11, 3, GetParam().depth, AddressText(picture.samples.data()),
                                      int32_t(metadata.size()), metadataAddress}),
                    &message, &id))
      << message;
  ASSERT_EQ(1u, events.Imported().size());
  const zk::MadeDocument& made = events.Imported()[0];
  EXPECT_EQ(uint32_t(id), made.id);
  EXPECT_EQ("Untitled-2", made.title) << "the first title no open document has";
  EXPECT_EQ(11, made.width);
  EXPECT_EQ(3, made.height);
  EXPECT_EQ(GetParam().depth, made.depth);
  EXPECT_EQ(metadata.size(), made.metadataBytes);

  const zk::HostDocument* document = documents.ById(uint32_t(id));
  ASSERT_NE(nullptr, document);
  EXPECT_EQ(uint32_t(id), TargetId());
  EXPECT_EQ("", document->file) << "never saved";
  EXPECT_TRUE(document->dirty);
  EXPECT_TRUE(picture.samples == document->samples);
  EXPECT_EQ(metadata, document->metadata);

  // What comes in goes out again unchanged.
  std::vector<uint8_t> segment(picture.samples.size() + kGuardBytes, kGuard);
  ASSERT_EQ(0, Play(FourCC("Expr"), ExportParameters({11, 3, GetParam().depth, AddressText(segment.data())}), &message))
      << message;
  EXPECT_TRUE(std::equal(picture.samples.begin(), picture.samples.end(), segment.begin()));
  EXPECT_EQ(metadata, Joined(g_pieces));
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportPluginMake,
                         testing::Values(ImportCase{"16 bits with metadata", 16, 300},
                                         ImportCase{"8 bits without metadata", 8, 0}));

struct ImportRefusal {
  const char* what;
  std::function<void(ImportCall&)> change;
};

void PrintTo(const ImportRefusal& c, std::ostream* out) { *out << c.what; }

class ImportPluginRefusal : public ImageEventsTest, public testing::WithParamInterface<ImportRefusal> {};

TEST_P(ImportPluginRefusal, MakesNoDocument) {
  const zk::ImagePixels picture = Ramp(4, 4, 8);
  const std::string metadata = "some metadata";
  ImportCall call{4, 4, 8, AddressText(picture.samples.data()), int32_t(metadata.size()), AddressText(metadata.data())};
  GetParam().change(call);
  std::string message;
  EXPECT_EQ(zk::kStandInParamError, Play(FourCC("Impr"), ImportParameters(call), &message));
  EXPECT_FALSE(message.empty());
  EXPECT_TRUE(documents.Documents().empty());
  EXPECT_TRUE(events.Imported().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportPluginRefusal,
    testing::Values(ImportRefusal{"a fraction of a pixel", [](ImportCall& i) { i.width = 2.5; }},
                    ImportRefusal{"no height", [](ImportCall& i) { i.height = 0; }},
                    ImportRefusal{"a negative width", [](ImportCall& i) { i.width = -4; }},
                    ImportRefusal{"beyond the largest picture", [](ImportCall& i) { i.width = 1e9; }},
                    ImportRefusal{"depth 10", [](ImportCall& i) { i.depth = 10; }},
                    ImportRefusal{"negative metadata size", [](ImportCall& i) { i.metadataSize = -1; }},
                    ImportRefusal{"metadata without an address", [](ImportCall& i) { i.metadata = "0"; }},
                    ImportRefusal{"an address without metadata", [](ImportCall& i) { i.metadataSize = 0; }},
                    ImportRefusal{"null pixels", [](ImportCall& i) { i.data = "0"; }},
                    ImportRefusal{"pixels at no memory", [](ImportCall& i) { i.data = "4096"; }},
                    ImportRefusal{"address past the pointer width",
                                  [](ImportCall& i) { i.data = "18446744073709551616"; }}));

// --- 'slct' and 'Cls '

TEST_F(ImageEventsTest, SelectAndCloseByIdentifier) {
  const uint32_t a = documents.Open(zk::HostDocument{"a", "C:\\a.psd", 1, 1});
  zk::HostDocument unsaved{"b", "", 1, 1};
  unsaved.dirty = true;
  const uint32_t b = documents.Open(unsaved);
  const uint32_t c = documents.Open(zk::HostDocument{"c", "C:\\c.psd", 1, 1});

  std::string message;
  ASSERT_EQ(0, Play(FourCC("slct"), DocumentParameters(b, nullptr), &message)) << message;
  EXPECT_EQ(b, TargetId());
  EXPECT_EQ(zk::kStandInNoSuchObject, Play(FourCC("slct"), DocumentParameters(99, nullptr), &message));
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(b, TargetId());

  // The target has unsaved changes: closed only when told not to save.
  EXPECT_NE(0, Play(FourCC("Cls "), DocumentParameters(0, nullptr), &message));
  EXPECT_NE(std::string::npos, message.find("unsaved changes")) << message;
  EXPECT_NE(0, Play(FourCC("Cls "), DocumentParameters(0, "Ys  "), &message));
  EXPECT_EQ(3u, documents.Documents().size());
  ASSERT_EQ(0, Play(FourCC("Cls "), DocumentParameters(0, "N   "), &message)) << message;
  EXPECT_EQ(nullptr, documents.ById(b));

  // Closing a document by reference leaves the target alone.
  ASSERT_EQ(0, Play(FourCC("slct"), DocumentParameters(a, nullptr), &message)) << message;
  ASSERT_EQ(0, Play(FourCC("Cls "), DocumentParameters(c, nullptr), &message)) << message;
  EXPECT_EQ(a, TargetId());
  ASSERT_EQ(0, Play(FourCC("Cls "), DocumentParameters(a, "N   "), &message)) << message;
  EXPECT_TRUE(documents.Documents().empty());
  EXPECT_EQ(zk::kStandInNoSuchObject, Play(FourCC("Cls "), DocumentParameters(0, "N   "), &message));
  EXPECT_FALSE(message.empty());
}


// --- 'Mk  '

// A new document as File > New makes it: no file, no unsaved changes, the target, its sides in the
// unit asked for; what cannot be a document is refused with a message and nothing is made.
TEST_F(ImageEventsTest, MakeOpensANewEmptyDocument) {
  const uint32_t person = documents.Open(zk::HostDocument{"Hafen.psd", "C:\\Hafen.psd", 1, 1});
  struct Side {
    DescriptorUnitID unit;
    double value;
  };
  const auto parameters = [&](Side width, Side height, int32_t depth, const char* name) {
    PIActionDescriptor settings = NewDescriptor();
    desc->PutUnitFloat(settings, keyWidth, width.unit, width.value);
    desc->PutUnitFloat(settings, keyHeight, height.unit, height.value);
    desc->PutUnitFloat(settings, keyResolution, unitDensity, 300);
    if (depth != 0) desc->PutInteger(settings, keyDepth, depth);
    if (name != nullptr) desc->PutString(settings, FourCC("Nm  "), name);
    desc->PutClass(settings, FourCC("Md  "), FourCC("RGBM"));
    PIActionDescriptor event = NewDescriptor();
    desc->PutObject(event, FourCC("Nw  "), classDocument, settings);
    desc->Free(settings);
    return event;
  };
  std::string message;
  ASSERT_EQ(0, Play(FourCC("Mk  "), parameters({unitPixels, 107}, {unitPixels, 61}, 0, nullptr), &message)) << message;
  ASSERT_EQ(2u, documents.Documents().size());
  const zk::HostDocument& made = documents.Documents().back();
  EXPECT_EQ(made.id, TargetId());
  EXPECT_EQ("Untitled-1", made.title);
  EXPECT_TRUE(made.file.empty());
  EXPECT_FALSE(made.dirty);
  EXPECT_EQ(8, made.depth);
  EXPECT_EQ(unitPixels, made.unit);
  EXPECT_EQ(107, made.width);

  ASSERT_EQ(0, Play(FourCC("Mk  "), parameters({unitDistance, 72}, {unitPixels, 150}, 16, "Pr\xFC" "fung"), &message))
      << message;
  const zk::HostDocument& named = documents.Documents().back();
  EXPECT_EQ("Pr\xC3\xBC" "fung", named.title) << "the 8-bit name read in the ANSI code page";
  EXPECT_EQ(unitDistance, named.unit);
  EXPECT_EQ(72, named.width);
  EXPECT_EQ(36, named.height) << "150 pixels at 300 pixels per inch, in the width's unit";
  EXPECT_EQ(16, named.depth);

  const struct {
    const char* name;
    Side width;
    int32_t depth;
  } refused[] = {
      {"no pixels", {unitPixels, 0.2}, 8},
      {"another unit", {FourCC("#Prc"), 50}, 8},
      {"a depth the host does not make", {unitPixels, 10}, 32},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.name);
    EXPECT_NE(0, Play(FourCC("Mk  "), parameters(r.width, {unitPixels, 10}, r.depth, nullptr), &message));
    EXPECT_FALSE(message.empty());
  }
  EXPECT_EQ(zk::kStandInParamError, Play(FourCC("Mk  "), NewDescriptor(), &message)) << "no 'Nw  '";
  EXPECT_EQ(3u, documents.Documents().size());
  EXPECT_NE(nullptr, documents.ById(person));
}

// --- Faults on purpose

TEST_F(ImageEventsTest, AnEventFailsOnPurposeWithoutBeingCarriedOut) {
  const zk::ImagePixels picture = Ramp(2, 2, 8);
  const ImportCall call{2, 2, 8, AddressText(picture.samples.data()), 0, "0"};
  host.Book().FailEvent(FourCC("Impr"), zk::kStandInMemoryError, 2);
  std::string message;
  ASSERT_EQ(0, Play(FourCC("Impr"), ImportParameters(call), &message)) << message;
  EXPECT_EQ(zk::kStandInMemoryError, Play(FourCC("Impr"), ImportParameters(call), &message));
  EXPECT_NE(std::string::npos, message.find("'Impr'")) << message;
  EXPECT_EQ(0, Play(FourCC("Impr"), ImportParameters(call), &message)) << "only the second play fails";
  EXPECT_EQ(3, host.Book().Plays(FourCC("Impr")));
  EXPECT_EQ(2u, events.Imported().size());

  host.Book().FailEvent(FourCC("Impr"), -1);
  EXPECT_EQ(-1, Play(FourCC("Impr"), ImportParameters(call), &message));
  EXPECT_EQ(2u, documents.Documents().size());

  // A failing Play itself gives no result at all.
  host.Book().ClearFaults();
  host.Book().FailProcedure("PSActionControl.Play", zk::kStandInParamError);
  PIActionDescriptor result = NewDescriptor();
  desc->Free(result);
  PIActionDescriptor parameters = ImportParameters(call);
  EXPECT_EQ(zk::kStandInParamError, control->Play(&result, FourCC("Impr"), parameters, plugInDialogSilent));
  EXPECT_EQ(nullptr, result);
  desc->Free(parameters);
  EXPECT_EQ(2u, events.Imported().size());
}

}  // namespace
