// The terminology parser against hand-built resources in the Windows layout (no alignment).
#include "AeteParser.h"
#include "ByteBuilder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <memory>

using zk::AeteInfo;
using zk_test::ByteBuilder;

namespace {

ByteBuilder Header(uint16_t suites) {
  ByteBuilder b;
  b.U16(1).U8(1).U8(0).U16(0).U16(0).U16(suites);
  return b;
}

// The module's terminology: one suite, one event with no further parameters.
ByteBuilder ModuleLikeAete() {
  ByteBuilder b = Header(1);
  b.Pascal("Testing").Pascal("Adobe example plug-ins").Code("AuFi").U16(1).U16(1).U16(1);
  b.Pascal("Merge to 32 Bit").Pascal("No comment").Code("AuFi").Code("AuFi");
  b.Code("null").Pascal("").U16(0x0000);
  b.Code("#ImR").Pascal("").U16(0xB000);
  b.U16(0);
  b.U16(0).U16(0).U16(0);
  return b;
}

bool Parse(const std::vector<uint8_t>& bytes, AeteInfo* info, std::string* error) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return zk::ParseAete(exact.get(), bytes.size(), info, error);
}

TEST(AeteParser, ReadsTheModulesTerminology) {
  ByteBuilder b = ModuleLikeAete();
  EXPECT_EQ(108u, b.Size());
  AeteInfo info;
  std::string error;
  ASSERT_TRUE(Parse(b.Get(), &info, &error)) << error;
  EXPECT_EQ(108u, info.parsedSize);
  ASSERT_EQ(1u, info.suites.size());
  EXPECT_EQ("Testing", info.suites[0].name);
  EXPECT_EQ("Adobe example plug-ins", info.suites[0].description);
  ASSERT_EQ(1u, info.suites[0].events.size());
  const zk::AeteEvent& e = info.suites[0].events[0];
  EXPECT_EQ("Merge to 32 Bit", e.name);
  EXPECT_EQ("No comment", e.description);
  EXPECT_EQ(FourCC("null"), e.replyType);
  EXPECT_EQ(FourCC("#ImR"), e.directType);
  EXPECT_EQ(0xB000, e.directFlags);
  EXPECT_TRUE(e.parameters.empty());
  const zk::AeteEvent* found = zk::FindAeteEvent(info, FourCC("AuFi"), FourCC("AuFi"));
  ASSERT_NE(nullptr, found);
  EXPECT_EQ("Merge to 32 Bit", found->name);
  EXPECT_EQ(nullptr, zk::FindAeteEvent(info, FourCC("AuFi"), FourCC("Othr")));
}

TEST(AeteParser, ReadsParametersAndATrailingZeroDword) {
  ByteBuilder b = Header(1);
  b.Pascal("S").Pascal("").Code("Suit").U16(1).U16(1).U16(1);
  b.Pascal("Ev").Pascal("").Code("Clss").Code("Evnt").Code("null").Pascal("").U16(0).Code("#ImR").Pascal("").U16(0);
  b.U16(2);
  b.Pascal("first").Code("Frst").Code("long").Pascal("a number").U16(0x8000);
  b.Pascal("second").Code("Scnd").Code("TEXT").Pascal("").U16(0);
  b.U16(0).U16(0).U16(0);
  b.U32(0);  // some writers append this
  AeteInfo info;
  std::string error;
  ASSERT_TRUE(Parse(b.Get(), &info, &error)) << error;
  const auto& parameters = info.suites[0].events[0].parameters;
  ASSERT_EQ(2u, parameters.size());
  EXPECT_EQ("first", parameters[0].name);
  EXPECT_EQ(FourCC("long"), parameters[0].type);
  EXPECT_EQ("a number", parameters[0].description);
  EXPECT_EQ(FourCC("Scnd"), parameters[1].key);
  EXPECT_EQ(b.Size() - 4, info.parsedSize);
}

struct Malformed {
  const char* what;
  std::vector<uint8_t> bytes;
  const char* messagePart;
};

void PrintTo(const Malformed& c, std::ostream* out) { *out << c.what; }

std::vector<Malformed> MalformedCases() {
  ByteBuilder withClasses = Header(1);
  withClasses.Pascal("S").Pascal("").Code("Suit").U16(1).U16(1).U16(0).U16(1).U16(0).U16(0);
  ByteBuilder negativeEvents = Header(1);
  negativeEvents.Pascal("S").Pascal("").Code("Suit").U16(1).U16(1).U16(0xFFFF);
  const std::vector<uint8_t> module = ModuleLikeAete().Get();
  const std::vector<uint8_t> oneSuite(module.begin() + 10, module.end());
  ByteBuilder nameLengthPastEnd = Header(1);
  nameLengthPastEnd.U8(100).Text("Testing");
  return {
      {"empty", {}, "shorter than its 10-byte header"},
      {"header word 0", zk_test::Data(ByteBuilder().U16(0).U8(1).U8(0).U16(0).U16(0).U16(0)), "header word is 0"},
      {"major version 2", zk_test::Data(ByteBuilder().U16(1).U8(2).U8(0).U16(0).U16(0).U16(0)), "major version"},
      {"negative suite count", zk_test::Data(Header(0x8000)), "negative suite count"},
      {"more suites than present", zk_test::Data(Header(2).Bytes(oneSuite)), "ends inside the header of suite"},
      {"suite name length past the end", zk_test::Data(nameLengthPastEnd), "ends inside the header of suite"},
      {"negative event count", zk_test::Data(negativeEvents), "negative event count"},
      {"classes declared", zk_test::Data(withClasses), "declares classes"},
  };
}

class AeteMalformed : public testing::TestWithParam<Malformed> {};

TEST_P(AeteMalformed, IsRefusedWithItsFault) {
  AeteInfo info;
  std::string error;
  EXPECT_FALSE(Parse(GetParam().bytes, &info, &error));
  EXPECT_NE(std::string::npos, error.find(GetParam().messagePart)) << error;
}

INSTANTIATE_TEST_SUITE_P(Cases, AeteMalformed, testing::ValuesIn(MalformedCases()));

TEST(AeteParser, EveryTruncationIsRefused) {
  std::vector<uint8_t> full = ModuleLikeAete().Get();
  for (size_t size = 0; size < full.size(); ++size) {
    AeteInfo info;
    std::string error;
    std::vector<uint8_t> cut(full.begin(), full.begin() + long(size));
    EXPECT_FALSE(Parse(cut, &info, &error)) << size;
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
