// The module's resources are what the host and the module's own code read: the property list and
// terminology byte for byte, the dialog templates, the strings, the version block and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "DialogTemplateReader.h"
#include "HostCodes.h"
#include "ModuleResources.h"
#include "PluginScanner.h"
#include "TestPaths.h"

namespace {

// Builds the expected bytes from the documented field layout, independently of the resource script.
class Bytes {
 public:
  Bytes& U16(uint16_t v) { return Raw({uint8_t(v), uint8_t(v >> 8)}); }
  Bytes& U32(uint32_t v) { return Raw({uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); }
  // A four-character code as the host stores it: the 32-bit value, little-endian.
  Bytes& Code(const char (&c)[5]) { return U32(uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 | uint8_t(c[3])); }
  Bytes& Pascal(const std::string& s) {
    data.push_back(uint8_t(s.size()));
    data.insert(data.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Text(const std::string& s) {
    data.insert(data.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Zeros(size_t n) {
    data.insert(data.end(), n, 0);
    return *this;
  }
  Bytes& PadTo4() { return Zeros((4 - data.size() % 4) % 4); }
  Bytes& Raw(std::initializer_list<uint8_t> b) {
    data.insert(data.end(), b);
    return *this;
  }
  Bytes& Append(const Bytes& other) {
    data.insert(data.end(), other.data.begin(), other.data.end());
    return *this;
  }
  size_t Size() const { return data.size(); }
  std::vector<uint8_t> data;
};

Bytes Property(const char (&key)[5], const Bytes& value) {
  Bytes p;
  p.Code("8BIM").Code(key).U32(0).U32(uint32_t(value.Size())).Append(value);
  return p;
}

// The entry point's property is the one a host of this build's architecture reads; the rest of
// the property list is the same for both.
#if defined(_M_ARM64) || defined(__aarch64__)
const char kEntryPointKey[5] = "wa64";
#else
const char kEntryPointKey[5] = "8664";
#endif

std::vector<uint8_t> ExpectedPropertyList() {
  Bytes kind, name, category, version, entry, terminology;
  kind.Code("8LIZ");
  name.Pascal("Zentrast Kolvane...").PadTo4();
  category.Pascal("AdobeSDK").PadTo4();
  version.U32(0x00010000);
  entry.Text("AutoPluginMain").Zeros(1).PadTo4();
  terminology.U32(0).Code("AuFi").Code("AuFi").U16(16000).Text("eade9280-5edb-11e2-bcfd-0800200c9a66");
  terminology.Zeros(40 - 36).Zeros(2);
  Bytes list;
  list.U16(1).U32(0).U32(6);
  list.Append(Property("kind", kind)).Append(Property("name", name)).Append(Property("catg", category));
  list.Append(Property("vers", version)).Append(Property(kEntryPointKey, entry)).Append(Property("hstm", terminology));
  return list.data;
}

std::vector<uint8_t> ExpectedTerminology() {
  Bytes t;
  t.U16(1).Raw({1, 0}).U16(0).U16(0).U16(1);
  t.Pascal("Testing").Pascal("Adobe example plug-ins").Code("AuFi").U16(1).U16(1).U16(1);
  t.Pascal("Merge to 32 Bit").Pascal("No comment").Code("AuFi").Code("AuFi");
  t.Code("null").Pascal("").U16(0x0000);
  t.Code("#ImR").Pascal("").U16(0xB000);
  t.U16(0).U16(0).U16(0).U16(0);
  return t.data;
}

class PluginResources : public ::testing::Test {
 protected:
  ModuleResources module{ModulePath()};
  void SetUp() override { ASSERT_TRUE(module.Loaded()) << "cannot open the module's resources"; }
  DialogTemplate Dialog(int id) { return ReadDialogTemplate(module.Bytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, id)); }
};

TEST_F(PluginResources, PropertyListIsExactlyTheDocumentedBytes) {
  const std::vector<uint8_t> expected = ExpectedPropertyList();
  ASSERT_EQ(expected.size(), 218u);
  EXPECT_EQ(module.Bytes(L"PIPL", 16000), expected);
}

TEST_F(PluginResources, TerminologyIsExactlyTheDocumentedBytes) {
  const std::vector<uint8_t> expected = ExpectedTerminology();
  ASSERT_EQ(expected.size(), 108u);
  EXPECT_EQ(module.Bytes(L"AETE", 16000), expected);
}

TEST_F(PluginResources, TheHostReadsThemAsAnAutomationPlugIn) {
  zk::PluginRecord record;
  std::string error;
  ASSERT_TRUE(zk::ReadPluginRecord(ModulePath(), &record, &error)) << error;
  EXPECT_EQ(record.pipl.properties.size(), 6u);
  EXPECT_EQ(record.pipl.kind, PIAutomationPluginKind);
  EXPECT_EQ(record.pipl.name, "Zentrast Kolvane...");
  EXPECT_EQ(record.pipl.category, "AdobeSDK");
  EXPECT_EQ(record.pipl.version, 0x00010000u);
  EXPECT_EQ(record.pipl.entryName, "AutoPluginMain");
  EXPECT_EQ(record.pipl.terminology.classId, FourCC("AuFi"));
  EXPECT_EQ(record.pipl.terminology.eventId, FourCC("AuFi"));
  EXPECT_EQ(record.pipl.terminology.terminologyId, 16000);
  EXPECT_EQ(record.pipl.terminology.scope, "eade9280-5edb-11e2-bcfd-0800200c9a66");
  ASSERT_TRUE(record.hasTerminology);
  EXPECT_EQ(record.eventName, "Merge to 32 Bit");
  for (const zk::PiplProperty& property : record.pipl.properties) {
    EXPECT_EQ(property.length % 4, 0u) << "padded lengths";
  }
}

struct ExpectedItem {
  uint32_t id;
  uint16_t classAtom;
  uint32_t style;
  int16_t x, y, cx, cy;
  const wchar_t* text;
};

void ExpectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected) {
  ASSERT_EQ(dialog.items.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const DialogItemTemplate& item = dialog.items[i];
    SCOPED_TRACE("control " + std::to_string(expected[i].id));
    EXPECT_EQ(item.id, expected[i].id);
    EXPECT_EQ(item.classAtom, expected[i].classAtom);
    EXPECT_EQ(item.style, expected[i].style);
    EXPECT_EQ(item.x, expected[i].x);
    EXPECT_EQ(item.y, expected[i].y);
    EXPECT_EQ(item.cx, expected[i].cx);
    EXPECT_EQ(item.cy, expected[i].cy);
    EXPECT_EQ(item.text, expected[i].text);
  }
}

constexpr uint16_t kButton = 0x0080;
constexpr uint16_t kStatic = 0x0082;
constexpr uint32_t kVisibleChildGroup = WS_CHILD | WS_VISIBLE | WS_GROUP;
const wchar_t kRunningText[] =
    L"Please use the Zentrast Kolvane window to work with the images.  This window will close automatically when "
    L"you have finished.";

TEST_F(PluginResources, AboutBoxTemplateHasNoCaptionBarAndNoButtons) {
  const DialogTemplate about = Dialog(16003);
  EXPECT_EQ(about.style, 0x80880044u);
  EXPECT_EQ(about.style & WS_CAPTION & ~WS_BORDER, 0u);
  EXPECT_EQ(about.cx, 199);
  EXPECT_EQ(about.cy, 181);
  EXPECT_EQ(about.caption, L"");
  EXPECT_EQ(about.typeface, L"Verdana");
  EXPECT_EQ(about.pointSize, 8);
  EXPECT_EQ(about.weight, 400);
  EXPECT_EQ(about.charset, 0);
  ExpectItems(about,
              {{100, kStatic, kVisibleChildGroup | SS_CENTER, 7, 7, 184, 13, L"Zentrast Kolvane Plug-In "},
               {102, kStatic, kVisibleChildGroup | SS_LEFT, 7, 62, 185, 24,
                L"The resulting image shows the whole dynamic range available in the original HDR image and is "
                L"ready for display on standard monitors and prints."},
               {101, kStatic, kVisibleChildGroup | SS_LEFT, 7, 35, 185, 24,
                L"The Zentrast Kolvane Plug-In reveals details in highlights and shadows in 32-bit High Dynamic "
                L"Range images."},
               {200, kStatic, kVisibleChildGroup | SS_CENTER, 7, 137, 185, 16, about.items.at(3).text.c_str()},
               {210, kStatic, kVisibleChildGroup | SS_LEFT, 65, 159, 127, 16, L""}});
}

TEST_F(PluginResources, StatusAndTestTemplates) {
  const DialogTemplate status = Dialog(16004);
  EXPECT_EQ(status.style, 0x80C800C8u);
  EXPECT_EQ(status.cx, 219);
  EXPECT_EQ(status.cy, 82);
  EXPECT_EQ(status.caption, L"Dialog");
  EXPECT_EQ(status.typeface, L"MS Shell Dlg");
  EXPECT_EQ(status.pointSize, 8);
  EXPECT_EQ(status.charset, 1);
  ExpectItems(status, {{100, kStatic, kVisibleChildGroup | SS_CENTER, 13, 14, 192, 58, kRunningText}});

  const DialogTemplate test = Dialog(16002);
  EXPECT_EQ(test.style, 0x80C800C8u);
  EXPECT_EQ(test.cx, 316);
  EXPECT_EQ(test.cy, 183);
  EXPECT_EQ(test.caption, L"Dialog");
  EXPECT_EQ(test.typeface, L"MS Shell Dlg");
  constexpr uint32_t kTabButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  ExpectItems(test, {{1, kButton, kTabButton | BS_DEFPUSHBUTTON, 205, 162, 50, 14, L"OK"},
                     {2, kButton, kTabButton | BS_PUSHBUTTON, 259, 162, 50, 14, L"Cancel"},
                     {100, kButton, kTabButton | BS_PUSHBUTTON, 215, 104, 50, 14, L"Button1"}});
}

TEST_F(PluginResources, StringTableHoldsExactlySixStrings) {
  const std::vector<std::pair<unsigned, std::wstring>> strings = {
      {20000, kRunningText},
      {20001, L"Please wait while Zentrast Kolvane starts up..."},
      {20002, L"Please browse to the location where Zentrast Kolvane is installed"},
      {20003, L"Can't find Zentrast Kolvane on the system"},
      {20004, L"Zentrast Kolvane Not Found"},
      {20005, L"Zentrast Kolvane could not be started"},
  };
  for (const auto& [id, text] : strings) EXPECT_EQ(module.String(id), text) << id;
  // The rest of their block of 16 is empty.
  for (unsigned id = 19984; id < 20000; ++id) EXPECT_EQ(module.String(id), L"") << id;
  for (unsigned id = 20006; id < 20016; ++id) EXPECT_EQ(module.String(id), L"") << id;
  // The status window shows string 20000 in the same words as its template.
  EXPECT_EQ(Dialog(16004).items.at(0).text, module.String(20000));
}

TEST_F(PluginResources, VersionBlock) {
  const std::vector<uint8_t> block = module.Bytes(MAKEINTRESOURCEW(16) /* RT_VERSION */, 1);
  ASSERT_FALSE(block.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 10u << 16);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 10u << 16);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, 0x40004u);
  EXPECT_EQ(fixed->dwFileType, 2u);
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS | fixed->dwFileDateLS, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size));
  ASSERT_EQ(size, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);
  for (const wchar_t* key : {L"\\StringFileInfo\\040904b0\\FileVersion", L"\\StringFileInfo\\040904b0\\ProductVersion"}) {
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &size)) << key;
    EXPECT_STREQ(value, L"10.0");
  }
}

TEST_F(PluginResources, ManifestAsksForNothingButTheInvokersLevel) {
  const std::vector<uint8_t> bytes = module.Bytes(MAKEINTRESOURCEW(24), 2);
  const std::string manifest(bytes.begin(), bytes.end());
  EXPECT_NE(manifest.find("manifestVersion=\"1.0\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
  EXPECT_EQ(manifest.find("dependentAssembly"), std::string::npos);
  EXPECT_TRUE(module.Bytes(MAKEINTRESOURCEW(24), 1).empty());
}

TEST_F(PluginResources, EverythingIsInUsEnglish) {
  for (auto [type, id] : std::vector<std::pair<LPCWSTR, int>>{{L"PIPL", 16000}, {L"AETE", 16000},
                                                                {MAKEINTRESOURCEW(5), 16003}, {MAKEINTRESOURCEW(5), 16004},
                                                                {MAKEINTRESOURCEW(6), 20000 / 16 + 1}}) {
    EXPECT_NE(FindResourceExW(module.Handle(), type, MAKEINTRESOURCEW(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              nullptr)
        << id;
  }
}

}  // namespace
