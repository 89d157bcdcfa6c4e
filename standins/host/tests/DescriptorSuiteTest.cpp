// Action descriptors as the module relies on them: typed values under keys, copies on put, new
// objects on get, errors for missing keys and other types, strings cut to the caller's buffer.
#include "SuiteTestSupport.h"

#include <ostream>

#include <cstring>

namespace {

using zk_test::HostSuitesTest;

constexpr DescriptorKeyID kKey = FourCC("Key1");
constexpr DescriptorKeyID kOther = FourCC("Key2");

class DescriptorSuite : public HostSuitesTest {};

TEST_F(DescriptorSuite, TypedValuesRoundTrip) {
  PIActionDescriptor d = NewDescriptor();
  ASSERT_EQ(0, desc->PutInteger(d, FourCC("Intg"), -7));
  ASSERT_EQ(0, desc->PutFloat(d, FourCC("Flot"), 2.5));
  ASSERT_EQ(0, desc->PutUnitFloat(d, FourCC("Unit"), unitPixels, 72.25));
  ASSERT_EQ(0, desc->PutString(d, FourCC("Strg"), "C:\\path \xC3\xBC"));
  ASSERT_EQ(0, desc->PutBoolean(d, FourCC("Bool"), 1));
  ASSERT_EQ(0, desc->PutEnumerated(d, FourCC("Enum"), typeOrdinal, enumTarget));
  ASSERT_EQ(0, desc->PutClass(d, FourCC("Clas"), classDocument));
  ASSERT_EQ(0, desc->PutGlobalClass(d, FourCC("GCls"), classApplication));
  ASSERT_EQ(0, desc->PutInteger64(d, FourCC("I64 "), int64_t(1) << 40));
  char raw[] = {1, 0, 2, 0};
  ASSERT_EQ(0, desc->PutData(d, FourCC("Data"), 4, raw));

  int32_t i = 0;
  double f = 0;
  DescriptorUnitID unit = 0;
  Boolean b = 0;
  DescriptorEnumTypeID enumType = 0;
  DescriptorEnumID enumValue = 0;
  DescriptorClassID cls = 0;
  int64_t i64 = 0;
  int32_t dataLength = 0;
  char data[4] = {};
  EXPECT_EQ(0, desc->GetInteger(d, FourCC("Intg"), &i));
  EXPECT_EQ(-7, i);
  EXPECT_EQ(0, desc->GetFloat(d, FourCC("Flot"), &f));
  EXPECT_EQ(2.5, f);
  EXPECT_EQ(0, desc->GetUnitFloat(d, FourCC("Unit"), &unit, &f));
  EXPECT_EQ(unitPixels, unit);
  EXPECT_EQ(72.25, f);
  EXPECT_EQ(0, desc->GetBoolean(d, FourCC("Bool"), &b));
  EXPECT_EQ(1, b);
  EXPECT_EQ(0, desc->GetEnumerated(d, FourCC("Enum"), &enumType, &enumValue));
  EXPECT_EQ(typeOrdinal, enumType);
  EXPECT_EQ(enumTarget, enumValue);
  EXPECT_EQ(0, desc->GetClass(d, FourCC("Clas"), &cls));
  EXPECT_EQ(classDocument, cls);
  EXPECT_EQ(0, desc->GetInteger64(d, FourCC("I64 "), &i64));
  EXPECT_EQ(int64_t(1) << 40, i64);
  EXPECT_EQ(0, desc->GetDataLength(d, FourCC("Data"), &dataLength));
  EXPECT_EQ(4, dataLength);
  EXPECT_EQ(0, desc->GetData(d, FourCC("Data"), data));
  EXPECT_EQ(0, std::memcmp(raw, data, 4));

  // A global class reads with GetClass as well as GetGlobalClass: the module reads both with GetClass.
  EXPECT_EQ(0, desc->GetClass(d, FourCC("GCls"), &cls));
  EXPECT_EQ(classApplication, cls);
  EXPECT_EQ(0, desc->GetGlobalClass(d, FourCC("GCls"), &cls));

  struct Typed {
    DescriptorKeyID key;
    DescriptorTypeID type;
  } const types[] = {{FourCC("Intg"), typeInteger}, {FourCC("Flot"), typeFloat},   {FourCC("Unit"), typeUnitFloat},
                     {FourCC("Strg"), typeChar},    {FourCC("Bool"), typeBoolean}, {FourCC("Enum"), typeEnumerated},
                     {FourCC("Clas"), typeType},    {FourCC("GCls"), typeGlobalClass},
                     {FourCC("I64 "), typeSInt64},  {FourCC("Data"), typeRawData}};
  for (const Typed& t : types) {
    DescriptorTypeID type = 0;
    EXPECT_EQ(0, desc->GetType(d, t.key, &type));
    EXPECT_EQ(t.type, type);
  }
  EXPECT_EQ(0, desc->Free(d));
}

TEST_F(DescriptorSuite, MissingKeysAndOtherTypesAreErrors) {
  PIActionDescriptor d = NewDescriptor();
  desc->PutInteger(d, kKey, 5);
  int32_t i = 99;
  double f = 99;
  uint32_t length = 99;
  DescriptorTypeID type = 0;
  EXPECT_EQ(zk::kStandInKeyMissing, desc->GetInteger(d, kOther, &i));
  EXPECT_EQ(zk::kStandInKeyMissing, desc->GetType(d, kOther, &type));
  EXPECT_EQ(zk::kStandInWrongType, desc->GetFloat(d, kKey, &f));
  EXPECT_EQ(zk::kStandInWrongType, desc->GetStringLength(d, kKey, &length));
  EXPECT_EQ(99, i);  // nothing written on error
  EXPECT_EQ(99.0, f);
  EXPECT_EQ(99u, length);
  EXPECT_EQ(zk::kStandInKeyMissing, desc->Erase(d, kOther));
  desc->Free(d);
}

// A unit double read with the plain numeric getters, as scripts read a document's 'Rslt', 'Wdth'
// and 'Hght' from the host: its number in its own unit, or its whole part; an integer getter
// refuses a number with no whole part in 32 bits.
TEST_F(DescriptorSuite, AUnitDoubleReadsAsAPlainNumber) {
  PIActionDescriptor d = NewDescriptor();
  desc->PutUnitFloat(d, FourCC("Rslt"), unitDensity, 300.75);
  desc->PutUnitFloat(d, FourCC("Huge"), unitPixels, 3e9);
  double f = 0;
  int32_t i = 0;
  EXPECT_EQ(0, desc->GetFloat(d, FourCC("Rslt"), &f));
  EXPECT_EQ(300.75, f);
  EXPECT_EQ(0, desc->GetInteger(d, FourCC("Rslt"), &i));
  EXPECT_EQ(300, i);
  i = 99;
  EXPECT_EQ(zk::kStandInWrongType, desc->GetInteger(d, FourCC("Huge"), &i));
  EXPECT_EQ(99, i);
  desc->Free(d);
}

struct StringCase {
  const char* text;
  uint32_t maxLength;
  const char* expected;
};

void PrintTo(const StringCase& c, std::ostream* out) { *out << '"' << c.text << "\" in " << c.maxLength << " bytes"; }

class DescriptorString : public HostSuitesTest, public testing::WithParamInterface<StringCase> {};

// The buffer holds maxLength bytes: at most maxLength - 1 characters and always the terminator.
TEST_P(DescriptorString, GetStringHonoursMaxLength) {
  const StringCase& c = GetParam();
  PIActionDescriptor d = NewDescriptor();
  desc->PutString(d, kKey, c.text);
  uint32_t length = 0;
  EXPECT_EQ(0, desc->GetStringLength(d, kKey, &length));
  EXPECT_EQ(std::strlen(c.text), length);
  char buffer[16];
  std::memset(buffer, 'X', sizeof buffer);
  EXPECT_EQ(0, desc->GetString(d, kKey, buffer, c.maxLength));
  EXPECT_STREQ(c.expected, buffer);
  EXPECT_EQ('X', buffer[c.maxLength]);  // nothing written past the buffer
  desc->Free(d);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, DescriptorString,
                         testing::Values(StringCase{"abcdef", 7, "abcdef"},  // length + 1: all of it
                                         StringCase{"abcdef", 6, "abcde"},   // one short: cut
                                         StringCase{"abcdef", 1, ""},        // room for the terminator only
                                         StringCase{"", 1, ""}, StringCase{"ab", 10, "ab"}));

TEST_F(DescriptorSuite, GetStringWithoutRoomForTheTerminatorIsAnError) {
  PIActionDescriptor d = NewDescriptor();
  desc->PutString(d, kKey, "abc");
  char buffer[4] = {'X', 'X', 'X', 'X'};
  EXPECT_EQ(zk::kStandInParamError, desc->GetString(d, kKey, buffer, 0));
  EXPECT_EQ('X', buffer[0]);
  desc->Free(d);
}

TEST_F(DescriptorSuite, KeysCountEraseAndClear) {
  PIActionDescriptor d = NewDescriptor();
  desc->PutInteger(d, FourCC("AAAA"), 1);
  desc->PutInteger(d, FourCC("BBBB"), 2);
  desc->PutInteger(d, FourCC("AAAA"), 3);  // replaces in place
  uint32_t count = 0;
  EXPECT_EQ(0, desc->GetCount(d, &count));
  EXPECT_EQ(2u, count);
  DescriptorKeyID key = 0;
  EXPECT_EQ(0, desc->GetKey(d, 0, &key));
  EXPECT_EQ(FourCC("AAAA"), key);
  EXPECT_EQ(0, desc->GetKey(d, 1, &key));
  EXPECT_EQ(FourCC("BBBB"), key);
  EXPECT_EQ(zk::kStandInBadIndex, desc->GetKey(d, 2, &key));
  int32_t value = 0;
  desc->GetInteger(d, FourCC("AAAA"), &value);
  EXPECT_EQ(3, value);

  Boolean has = 0;
  DescriptorKeyID both[] = {FourCC("AAAA"), FourCC("BBBB"), 0};
  DescriptorKeyID withMissing[] = {FourCC("AAAA"), FourCC("CCCC"), 0};
  EXPECT_EQ(0, desc->HasKeys(d, both, &has));
  EXPECT_EQ(1, has);
  EXPECT_EQ(0, desc->HasKeys(d, withMissing, &has));
  EXPECT_EQ(0, has);

  EXPECT_EQ(0, desc->Erase(d, FourCC("AAAA")));
  EXPECT_EQ(0, desc->HasKey(d, FourCC("AAAA"), &has));
  EXPECT_EQ(0, has);
  EXPECT_EQ(0, desc->Clear(d));
  desc->GetCount(d, &count);
  EXPECT_EQ(0u, count);
  desc->Free(d);
}

// A put copies the object: changing or freeing the caller's descriptor later leaves the stored one.
TEST_F(DescriptorSuite, ObjectsListsAndReferencesAreCopiedInAndOut) {
  PIActionDescriptor outer = NewDescriptor();
  PIActionDescriptor inner = NewDescriptor();
  desc->PutInteger(inner, kKey, 1);
  EXPECT_EQ(0, desc->PutObject(outer, FourCC("Objc"), classDocument, inner));
  desc->PutInteger(inner, kKey, 2);
  EXPECT_EQ(0, desc->Free(inner));

  DescriptorClassID cls = 0;
  PIActionDescriptor got = nullptr;
  EXPECT_EQ(0, desc->GetObject(outer, FourCC("Objc"), &cls, &got));
  EXPECT_EQ(classDocument, cls);
  int32_t value = 0;
  EXPECT_EQ(0, desc->GetInteger(got, kKey, &value));
  EXPECT_EQ(1, value);
  EXPECT_EQ(zk::kStandInWrongType, desc->GetGlobalObject(outer, FourCC("Objc"), &cls, &got));

  PIActionList l = nullptr;
  list->Make(&l);
  list->PutInteger(l, 10);
  EXPECT_EQ(0, desc->PutList(outer, FourCC("List"), l));
  PIActionReference r = nullptr;
  ref->Make(&r);
  ref->PutIdentifier(r, classDocument, 42);
  EXPECT_EQ(0, desc->PutReference(outer, FourCC("Refr"), r));

  PIActionList gotList = nullptr;
  PIActionReference gotRef = nullptr;
  EXPECT_EQ(0, desc->GetList(outer, FourCC("List"), &gotList));
  EXPECT_EQ(0, desc->GetReference(outer, FourCC("Refr"), &gotRef));
  EXPECT_NE(l, gotList);
  EXPECT_NE(r, gotRef);
  uint32_t id = 0;
  EXPECT_EQ(0, ref->GetIdentifier(gotRef, &id));
  EXPECT_EQ(42u, id);

  // Every object handed out is the caller's to free; the host tracks each until then.
  EXPECT_EQ(2u, host.Objects().Live().descriptors);
  EXPECT_EQ(2u, host.Objects().Live().lists);
  EXPECT_EQ(2u, host.Objects().Live().references);
  for (PIActionDescriptor x : {got, outer}) EXPECT_EQ(0, desc->Free(x));
  for (PIActionList x : {l, gotList}) EXPECT_EQ(0, list->Free(x));
  for (PIActionReference x : {r, gotRef}) EXPECT_EQ(0, ref->Free(x));
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

TEST_F(DescriptorSuite, AliasAndPathValuesGiveANewHandleHoldingThePath) {
  PIActionDescriptor d = NewDescriptor();
  const char path[] = "C:\\shots\\a.CR2";
  Handle alias = handles->New(int32_t(sizeof path));
  Ptr address = nullptr;
  Boolean oldLock = 0;
  handles->SetLock(alias, 1, &address, &oldLock);
  std::memcpy(address, path, sizeof path);
  handles->SetLock(alias, 0, &address, &oldLock);
  EXPECT_EQ(0, desc->PutAlias(d, FourCC("null"), alias));
  handles->Dispose(alias);

  Handle got = nullptr;
  EXPECT_EQ(0, desc->GetAlias(d, FourCC("null"), &got));
  ASSERT_NE(nullptr, got);
  EXPECT_EQ(int32_t(sizeof path), handles->GetSize(got));
  EXPECT_STREQ(path, *got);
  handles->Dispose(got);
  desc->Free(d);
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

// A text is kept whole: its ZString form gives every character back, its 8-bit form is the host's
// narrow text (the ANSI code page, 1252 in the tests). The host used to keep the 8-bit form only,
// so a title's ZString came back garbled.
TEST_F(DescriptorSuite, ZStringsGoInAsText) {
  PIActionDescriptor d = NewDescriptor();
  ASZString z = nullptr;
  ASUnicode text[] = {'H', 0xFC, 'x', 0};
  ASSERT_EQ(kSPNoError, zstrings->MakeFromUnicode(text, 3, &z));
  EXPECT_EQ(0, desc->PutZString(d, kKey, z));
  char narrow[16] = {};
  EXPECT_EQ(0, desc->GetString(d, kKey, narrow, sizeof narrow));
  EXPECT_STREQ("H\xFCx", narrow);
  ASZString back = nullptr;
  EXPECT_EQ(0, desc->GetZString(d, kKey, &back));
  EXPECT_EQ(3u, zstrings->LengthAsUnicodeCString(back));
  zstrings->Release(z);
  zstrings->Release(back);
  desc->Free(d);
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

TEST_F(DescriptorSuite, IsEqualComparesContents) {
  PIActionDescriptor a = NewDescriptor();
  PIActionDescriptor b = NewDescriptor();
  desc->PutString(a, kKey, "x");
  desc->PutString(b, kKey, "x");
  Boolean equal = 0;
  EXPECT_EQ(0, desc->IsEqual(a, b, &equal));
  EXPECT_EQ(1, equal);
  desc->PutString(b, kKey, "y");
  EXPECT_EQ(0, desc->IsEqual(a, b, &equal));
  EXPECT_EQ(0, equal);
  desc->Free(a);
  desc->Free(b);
}

// A freed or foreign pointer is refused, never dereferenced.
TEST_F(DescriptorSuite, DeadObjectsAreRefused) {
  PIActionDescriptor d = NewDescriptor();
  EXPECT_EQ(0, desc->Free(d));
  int32_t value = 0;
  EXPECT_EQ(zk::kStandInParamError, desc->Free(d));
  EXPECT_EQ(zk::kStandInParamError, desc->PutInteger(d, kKey, 1));
  EXPECT_EQ(zk::kStandInParamError, desc->GetInteger(d, kKey, &value));
  int notAnObject = 0;
  EXPECT_EQ(zk::kStandInParamError, desc->Free(reinterpret_cast<PIActionDescriptor>(&notAnObject)));
  EXPECT_EQ(zk::kStandInParamError, desc->PutString(NewDescriptor(), kKey, nullptr));
}

TEST_F(DescriptorSuite, FlattenedFormsAreNotImplemented) {
  PIActionDescriptor d = NewDescriptor();
  PIDescriptorHandle flat = nullptr;
  EXPECT_EQ(zk::kStandInNotImplemented, desc->AsHandle(d, &flat));
  EXPECT_EQ(zk::kStandInNotImplemented, desc->HandleToDescriptor(flat, &d));
  desc->Free(d);
}

}  // namespace
