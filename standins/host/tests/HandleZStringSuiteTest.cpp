// Handles (the host's relocatable blocks) and ZStrings (reference-counted texts).
#include "SuiteTestSupport.h"

#include <ostream>

#include <cstring>

namespace {

using zk_test::HostSuitesTest;

class HandleSuite : public HostSuitesTest {};

TEST_F(HandleSuite, NewLockResizeDispose) {
  Handle h = handles->New(9);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(9, handles->GetSize(h));
  Ptr address = nullptr;
  Boolean oldLock = 1;
  handles->SetLock(h, 1, &address, &oldLock);
  EXPECT_EQ(0, oldLock);
  EXPECT_EQ(*h, address);
  std::memcpy(address, "C:\\a.txt", 9);
  handles->SetLock(h, 1, &address, &oldLock);
  EXPECT_EQ(1, oldLock);  // a second lock sees the first
  handles->SetLock(h, 0, &address, &oldLock);

  EXPECT_EQ(0, handles->SetSize(h, 100));
  EXPECT_EQ(100, handles->GetSize(h));
  EXPECT_STREQ("C:\\a.txt", *h);  // contents kept, the handle still reaches them
  EXPECT_EQ(zk::kStandInParamError, handles->SetSize(h, -1));

  EXPECT_EQ(1u, host.Objects().Live().handles);
  handles->Dispose(h);
  EXPECT_EQ(0u, host.Objects().Live().handles);
  // A disposed handle is refused quietly.
  handles->Dispose(h);
  EXPECT_EQ(0, handles->GetSize(h));
  handles->SetLock(h, 1, &address, &oldLock);
  EXPECT_EQ(nullptr, address);
  EXPECT_EQ(nullptr, handles->New(-1));
}

class ZStringSuite : public HostSuitesTest {};

TEST_F(ZStringSuite, ReferenceCountingFreesOnTheLastRelease) {
  ASZString z = nullptr;
  ASSERT_EQ(kSPNoError, zstrings->MakeFromCString("Menu Name...", 12, &z));
  EXPECT_EQ(1u, host.Objects().Live().zstrings);
  EXPECT_EQ(kSPNoError, zstrings->AddRef(z));
  EXPECT_EQ(kSPNoError, zstrings->Release(z));
  EXPECT_EQ(1u, host.Objects().Live().zstrings);
  EXPECT_EQ(kSPNoError, zstrings->Release(z));
  EXPECT_EQ(0u, host.Objects().Live().zstrings);
  EXPECT_EQ(kSPBadParameterError, zstrings->Release(z));  // released too often: refused
}

TEST_F(ZStringSuite, MakersAndConversions) {
  ASZString fromC = nullptr;
  ASZString fromPascal = nullptr;
  ASZString fromUnicode = nullptr;
  const unsigned char pascalText[] = {5, 'H', 'e', 'l', 'l', 'o', 'X'};
  ASUnicode unicode[] = {'H', 'e', 'l', 'l', 'o', 0};
  ASSERT_EQ(kSPNoError, zstrings->MakeFromCString("Hello, world", 5, &fromC));  // the count bounds the text
  ASSERT_EQ(kSPNoError, zstrings->MakeFromPascalString(pascalText, sizeof pascalText, &fromPascal));
  ASSERT_EQ(kSPNoError, zstrings->MakeFromUnicode(unicode, 6, &fromUnicode));  // a counted terminator ends it
  for (ASZString z : {fromC, fromPascal, fromUnicode}) {
    EXPECT_EQ(5u, zstrings->LengthAsCString(z));
    EXPECT_EQ(5u, zstrings->LengthAsUnicodeCString(z));
    char c[8] = {};
    EXPECT_EQ(kSPNoError, zstrings->AsCString(z, c, sizeof c, 1));
    EXPECT_STREQ("Hello", c);
    zstrings->Release(z);
  }
}

struct CopyOutCase {
  ASUInt32 bufferSize;
  ASBoolean checkSize;
  ASErr status;
  const char* expected;
};

void PrintTo(const CopyOutCase& c, std::ostream* out) {
  *out << c.bufferSize << " bytes" << (c.checkSize ? ", size checked" : "");
}

class ZStringCopyOut : public HostSuitesTest, public testing::WithParamInterface<CopyOutCase> {};

// Never past bufferSize; with checkSize a buffer too small is an error and is left as it was.
TEST_P(ZStringCopyOut, AsCStringHonoursTheBuffer) {
  const CopyOutCase& c = GetParam();
  ASZString z = nullptr;
  zstrings->MakeFromCString("abcdef", 6, &z);
  char buffer[16];
  std::memset(buffer, 'X', sizeof buffer);
  buffer[15] = 0;
  EXPECT_EQ(c.status, zstrings->AsCString(z, buffer, c.bufferSize, c.checkSize));
  if (c.status == kSPNoError) {
    EXPECT_STREQ(c.expected, buffer);
  }
  EXPECT_EQ('X', buffer[c.bufferSize]);
  zstrings->Release(z);
}

INSTANTIATE_TEST_SUITE_P(Buffers, ZStringCopyOut,
                         testing::Values(CopyOutCase{7, 1, kSPNoError, "abcdef"},
                                         CopyOutCase{6, 1, kSPBadParameterError, ""},
                                         CopyOutCase{6, 0, kSPNoError, "abcde"},
                                         CopyOutCase{1, 0, kSPNoError, ""}));

TEST_F(ZStringSuite, TheEmptyStringIsPermanent) {
  ASZString empty = zstrings->GetEmpty();
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ(1, zstrings->IsEmpty(empty));
  EXPECT_EQ(kSPNoError, zstrings->Release(empty));
  EXPECT_EQ(kSPNoError, zstrings->Release(empty));
  EXPECT_EQ(1, zstrings->IsEmpty(empty));
  EXPECT_EQ(0u, host.Objects().Live().zstrings);
}

}  // namespace
