// The property list parser against hand-built resources: a valid one as the module carries it,
// and a table of malformed ones that must be refused with their fault, never read past their end.
#include "ByteBuilder.h"
#include "HostCodes.h"
#include "PiplParser.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cctype>
#include <memory>

using zk::PiplInfo;
using zk_test::ByteBuilder;
using zk_test::Data;

namespace {

const char kScope[] = "eade9280-5edb-11e2-bcfd-0800200c9a66";

std::vector<uint8_t> Terminology(int16_t id, const std::string& scope, size_t scopeField) {
  ByteBuilder t;
  t.U32(0).Code("AuFi").Code("AuFi").U16(uint16_t(id)).Text(scope);
  t.Zeros(scopeField - scope.size());
  return t.Get();
}

// The six properties in the module's order, each length recorded padded.
ByteBuilder ModuleLikePipl() {
  ByteBuilder b;
  b.U16(1).U32(0).U32(6);
  b.Property("kind", Data(ByteBuilder().Code("8LIZ")));
  b.Property("name", Data(ByteBuilder().Pascal("Zentrast Kolvane...")));
  b.Property("catg", Data(ByteBuilder().Pascal("AdobeSDK")));
  b.Property("vers", Data(ByteBuilder().U32(0x00010000)));
  b.Property("8664", Data(ByteBuilder().Text("AutoPluginMain").U8(0)));
  b.Property("hstm", Data(ByteBuilder().Bytes(Terminology(16000, kScope, 40)).Zeros(2)));
  return b;
}

// Parses from a heap block of exactly the resource's size, so that a read past the end is caught
// by the runtime's checks where it has them and never reads neighbouring test data.
bool Parse(const std::vector<uint8_t>& bytes, PiplInfo* info, std::string* error) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return zk::ParsePipl(exact.get(), bytes.size(), info, error);
}

TEST(PiplParser, ReadsTheModulesPropertyList) {
  ByteBuilder b = ModuleLikePipl();
  EXPECT_EQ(218u, b.Size());
  PiplInfo info;
  std::string error;
  ASSERT_TRUE(Parse(b.Get(), &info, &error)) << error;
  ASSERT_EQ(6u, info.properties.size());
  const uint32_t order[] = {PIKindProperty, PINameProperty, PICategoryProperty,
                            PIVersionProperty, PIWin64X86CodeProperty, PIHasTerminologyProperty};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(order[i], info.properties[i].key) << i;
    EXPECT_EQ(PIAdobeVendorID, info.properties[i].vendor);
    EXPECT_EQ(0u, info.properties[i].length % 4);
  }
  EXPECT_EQ(PIAutomationPluginKind, info.kind);
  EXPECT_EQ("Zentrast Kolvane...", info.name);
  EXPECT_EQ("AdobeSDK", info.category);
  EXPECT_EQ(0x00010000u, info.version);
  EXPECT_EQ("AutoPluginMain", info.entryName);
  ASSERT_TRUE(info.hasTerminology);
  EXPECT_EQ(FourCC("AuFi"), info.terminology.classId);
  EXPECT_EQ(FourCC("AuFi"), info.terminology.eventId);
  EXPECT_EQ(16000, info.terminology.terminologyId);
  EXPECT_EQ(kScope, info.terminology.scope);
  EXPECT_EQ(56u, info.properties[5].length);
  std::string reason;
  EXPECT_TRUE(zk::IsCallableAutomationPlugin(info, &reason)) << reason;
}

// Some writers record the unpadded length; the next property still starts at the padded offset.
TEST(PiplParser, AcceptsUnpaddedLengths) {
  ByteBuilder b;
  b.U16(1).U32(0).U32(3);
  b.Property("name", Data(ByteBuilder().Pascal("Odd")), false);  // length 4, no padding needed
  b.Property("8664", Data(ByteBuilder().Text("Entry").U8(0)), false);  // length 6, padded to 8
  b.Property("kind", Data(ByteBuilder().Code("8LIZ")), false);
  PiplInfo info;
  std::string error;
  ASSERT_TRUE(Parse(b.Get(), &info, &error)) << error;
  EXPECT_EQ(6u, info.properties[1].length);
  EXPECT_EQ("Entry", info.entryName);
  EXPECT_EQ(PIAutomationPluginKind, info.kind);
}

TEST(PiplParser, KeepsButIgnoresOtherVendorsProperties) {
  ByteBuilder b;
  b.U16(1).U32(0).U32(2);
  b.Code("ABCD").Code("name").U32(0).U32(4).Text("\x09xyz");  // would be a bad name if read
  b.Property("kind", Data(ByteBuilder().Code("8LIZ")));
  PiplInfo info;
  std::string error;
  ASSERT_TRUE(Parse(b.Get(), &info, &error)) << error;
  EXPECT_EQ(2u, info.properties.size());
  EXPECT_FALSE(info.hasName);
}

struct Malformed {
  const char* what;
  std::vector<uint8_t> bytes;
  const char* messagePart;
};

void PrintTo(const Malformed& c, std::ostream* out) { *out << c.what; }

std::vector<uint8_t> Truncated(size_t size) {
  std::vector<uint8_t> b = ModuleLikePipl().Get();
  b.resize(size);
  return b;
}

// The length is recorded unpadded, so that the padding cannot lend a short property its bytes.
std::vector<uint8_t> WithOne(const char (&key)[5], const std::vector<uint8_t>& data) {
  ByteBuilder b;
  b.U16(1).U32(0).U32(1).Property(key, data, false);
  return b.Get();
}

std::vector<uint8_t> CountingSeven() {
  std::vector<uint8_t> b = ModuleLikePipl().Get();
  b[6] = 7;
  return b;
}

std::vector<Malformed> MalformedCases() {
  return {
      {"empty", {}, "shorter than its 10-byte header"},
      {"header cut", Truncated(9), "shorter than its 10-byte header"},
      {"header word 2", Data(ByteBuilder().U16(2).U32(0).U32(0)), "header word is 2"},
      {"version 1", Data(ByteBuilder().U16(1).U32(1).U32(0)), "version is 1"},
      {"negative count", Data(ByteBuilder().U16(1).U32(0).U32(0xFFFFFFFF)), "count is negative"},
      {"count larger than the properties", CountingSeven(), "ends inside the property header"},
      {"property header cut", Truncated(10 + 20 + 7), "ends inside the property header"},
      {"last property cut", Truncated(217), "runs past the end"},
      {"length past the end",
       Data(ByteBuilder().U16(1).U32(0).U32(1).Code("8BIM").Code("kind").U32(0).U32(0x7FFFFFF0).Code("8LIZ")),
       "runs past the end"},
      {"name length byte past its data", WithOne("name", Data(ByteBuilder().U8(200).Text("abc"))),
       "length byte runs past"},
      {"empty name property", WithOne("name", {}), "length byte runs past"},
      {"category length byte past its data", WithOne("catg", Data(ByteBuilder().U8(9).Text("abc"))),
       "length byte runs past"},
      {"kind too short", WithOne("kind", Data(ByteBuilder().U16(1))), "shorter than 4 bytes"},
      {"entry name without zero", WithOne("8664", Data(ByteBuilder().Text("AutoPlug"))), "no terminating zero"},
      {"empty entry name", WithOne("8664", Data(ByteBuilder().U32(0))), "entry-point name is empty"},
      {"hstm too short", WithOne("hstm", Data(ByteBuilder().U32(0).Code("AuFi").Code("AuFi").U16(1))),
       "shorter than 15 bytes"},
      {"hstm scope without zero",
       WithOne("hstm", Data(ByteBuilder().U32(0).Code("AuFi").Code("AuFi").U16(1).Text("abcdef"))),
       "scope string has no terminating zero"},
      {"repeated name",
       Data(ByteBuilder().U16(1).U32(0).U32(2).Property("name", Data(ByteBuilder().Pascal("A"))).Property(
           "name", Data(ByteBuilder().Pascal("B")))),
       "appears more than once"},
  };
}

class PiplMalformed : public testing::TestWithParam<Malformed> {};

TEST_P(PiplMalformed, IsRefusedWithItsFault) {
  PiplInfo info;
  std::string error;
  EXPECT_FALSE(Parse(GetParam().bytes, &info, &error));
  EXPECT_NE(std::string::npos, error.find(GetParam().messagePart)) << error;
}

INSTANTIATE_TEST_SUITE_P(Cases, PiplMalformed, testing::ValuesIn(MalformedCases()),
                         [](const testing::TestParamInfo<Malformed>& info) {
                           std::string name;
                           for (char c : std::string(info.param.what)) name += std::isalnum(uint8_t(c)) ? c : '_';
                           return name;
                         });

// Every prefix of a valid list is refused or parsed without reading beyond the prefix.
TEST(PiplParser, EveryTruncationIsHandled) {
  std::vector<uint8_t> full = ModuleLikePipl().Get();
  for (size_t size = 0; size < full.size(); ++size) {
    PiplInfo info;
    std::string error;
    EXPECT_FALSE(Parse(Truncated(size), &info, &error)) << size;
  }
}

struct Requirement {
  const char* what;
  std::vector<uint8_t> bytes;
  const char* reasonPart;
};

void PrintTo(const Requirement& c, std::ostream* out) { *out << c.what; }

class PiplRequirements : public testing::TestWithParam<Requirement> {};

TEST_P(PiplRequirements, ExplainsWhyItIsNoCallablePlugin) {
  PiplInfo info;
  std::string error;
  ASSERT_TRUE(Parse(GetParam().bytes, &info, &error)) << error;
  std::string reason;
  EXPECT_FALSE(zk::IsCallableAutomationPlugin(info, &reason));
  EXPECT_NE(std::string::npos, reason.find(GetParam().reasonPart)) << reason;
}

std::vector<uint8_t> ListOf(std::initializer_list<std::pair<const char*, std::vector<uint8_t>>> properties) {
  ByteBuilder b;
  b.U16(1).U32(0).U32(uint32_t(properties.size()));
  for (const auto& p : properties) {
    const char* key = p.first;
    b.Code("8BIM").U32((uint32_t(uint8_t(key[0])) << 24) | (uint32_t(uint8_t(key[1])) << 16) |
                       (uint32_t(uint8_t(key[2])) << 8) | uint32_t(uint8_t(key[3])));
    size_t padded = (p.second.size() + 3) / 4 * 4;
    b.U32(0).U32(uint32_t(padded)).Bytes(p.second).Zeros(padded - p.second.size());
  }
  return b.Get();
}

const std::vector<uint8_t> kKind = Data(ByteBuilder().Code("8LIZ"));
const std::vector<uint8_t> kName = Data(ByteBuilder().Pascal("Menu Name"));
const std::vector<uint8_t> kEntry = Data(ByteBuilder().Text("AutoPluginMain").U8(0));

INSTANTIATE_TEST_SUITE_P(
    Cases, PiplRequirements,
    testing::Values(Requirement{"no kind", ListOf({{"name", kName}, {"8664", kEntry}}), "no 'kind'"},
                    Requirement{"filter kind",
                                ListOf({{"kind", Data(ByteBuilder().Code("8BFM"))}, {"name", kName}, {"8664", kEntry}}),
                                "its kind is '8BFM'"},
                    Requirement{"no name", ListOf({{"kind", kKind}, {"8664", kEntry}}), "no 'name'"},
                    Requirement{"empty name",
                                ListOf({{"kind", kKind}, {"name", Data(ByteBuilder().U8(0))}, {"8664", kEntry}}),
                                "menu name in 'name' is empty"},
                    Requirement{"no entry point", ListOf({{"kind", kKind}, {"name", kName}}), "no '8664'"}));

// A host reads the entry point of its own architecture only ('8664' on x64, 'wa64' on ARM64), as
// the real host does: a module built for the other one is skipped with the reason, and a property
// list naming both gives the host its own.
#if defined(_M_ARM64) || defined(__aarch64__)
const char kOwnEntryKey[5] = "wa64";
const char kOtherEntryKey[5] = "8664";
#else
const char kOwnEntryKey[5] = "8664";
const char kOtherEntryKey[5] = "wa64";
#endif

TEST(PiplParser, TheHostReadsOnlyTheEntryPointOfItsOwnArchitecture) {
  const std::vector<uint8_t> own = Data(ByteBuilder().Text("OwnEntry").U8(0));
  const std::vector<uint8_t> other = Data(ByteBuilder().Text("OtherEntry").U8(0));
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* entry;  // nullptr: not callable here
  };
  const Case cases[] = {
      {"own only", ListOf({{"kind", kKind}, {"name", kName}, {kOwnEntryKey, own}}), "OwnEntry"},
      {"other only", ListOf({{"kind", kKind}, {"name", kName}, {kOtherEntryKey, other}}), nullptr},
      {"both, own first", ListOf({{"kind", kKind}, {"name", kName}, {kOwnEntryKey, own}, {kOtherEntryKey, other}}),
       "OwnEntry"},
      {"both, other first", ListOf({{"kind", kKind}, {"name", kName}, {kOtherEntryKey, other}, {kOwnEntryKey, own}}),
       "OwnEntry"},
      // The other architecture's property is never read, so its faults are not this host's.
      {"other without its zero, own fine",
       ListOf({{"kind", kKind}, {"name", kName}, {kOtherEntryKey, Data(ByteBuilder().Text("Unended"))},
               {kOwnEntryKey, own}}),
       "OwnEntry"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PiplInfo info;
    std::string error;
    ASSERT_TRUE(Parse(c.bytes, &info, &error)) << error;
    std::string reason;
    if (c.entry) {
      EXPECT_TRUE(zk::IsCallableAutomationPlugin(info, &reason)) << reason;
      EXPECT_EQ(c.entry, info.entryName);
    } else {
      EXPECT_FALSE(zk::IsCallableAutomationPlugin(info, &reason));
      EXPECT_NE(std::string::npos, reason.find("no '" + std::string(kOwnEntryKey) + "' property")) << reason;
    }
  }
}

}  // namespace
