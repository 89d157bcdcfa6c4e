// The descriptor helpers against the stand-in host's real descriptors, references and handles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DescriptorHelpers.h"
#include "HostCodes.h"
#include "HostSuites.h"
#include "InProcessHost.h"
#include "ModuleStatus.h"

namespace {

class DescriptorHelpers : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestHost(); }
  void TearDown() override {
    for (PIActionDescriptor descriptor : made) sPSActionDescriptor->Free(descriptor);
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
  }
  PIActionDescriptor Descriptor() {
    PIActionDescriptor descriptor = nullptr;
    sPSActionDescriptor->Make(&descriptor);
    made.push_back(descriptor);
    return descriptor;
  }
  std::vector<PIActionDescriptor> made;
};

TEST_F(DescriptorHelpers, ReadsTheApplicationsDocumentCount) {
  int32_t count = -1;
  EXPECT_EQ(PIUGetTargetInfo(classApplication, keyNumberOfDocuments, &count, nullptr), 0);
  EXPECT_EQ(count, 0);
  TestDocuments().Open(zk::HostDocument{"a", "C:\\a", 1, 1});
  TestDocuments().Open(zk::HostDocument{"b", "C:\\b", 1, 1});
  EXPECT_EQ(PIUGetTargetInfo(classApplication, keyNumberOfDocuments, &count, nullptr), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(PIUGetTargetInfo(classApplication, keyNumberOfDocuments, nullptr, nullptr), kHelperBadParameter);
}

TEST_F(DescriptorHelpers, HandsTheWholeDescriptorToTheCaller) {
  TestDocuments().Open(zk::HostDocument{"first", "C:\\1", 1, 1});
  TestDocuments().Open(zk::HostDocument{"second", "C:\\2", 1, 1});
  PIActionDescriptor second = nullptr;
  ASSERT_EQ(PIUGetInfoByIndex(2, classDocument, 0, &second, nullptr), 0);
  made.push_back(second);
  EXPECT_EQ(TestHost().Objects().Live().descriptors, 1u) << "only the caller's descriptor is left";
  EXPECT_EQ(TestHost().Objects().Live().references, 0u);
  char title[32] = {};
  uint32_t length = sizeof title - 1;
  EXPECT_EQ(PIUGetDescriptorItem(second, keyTitle, title, &length), 0);
  EXPECT_STREQ(title, "second");
  PIActionDescriptor missing = nullptr;
  EXPECT_NE(PIUGetInfoByIndex(3, classDocument, 0, &missing, nullptr), 0);
  EXPECT_EQ(missing, nullptr);
}

TEST_F(DescriptorHelpers, EachTypeIsReadWithItsGetter) {
  PIActionDescriptor d = Descriptor();
  PIActionDescriptor object = nullptr;
  sPSActionDescriptor->Make(&object);
  PIActionReference reference = nullptr;
  sPSActionReference->Make(&reference);
  Handle alias = nullptr;
  FullPathToAlias("C:\\x.psd", alias);
  const PSActionDescriptorProcs& put = *sPSActionDescriptor;
  put.PutInteger(d, FourCC("Intg"), 7);
  put.PutFloat(d, FourCC("Flot"), 2.5);
  put.PutUnitFloat(d, FourCC("Unit"), unitDistance, 3.5);
  put.PutBoolean(d, FourCC("Bool"), true);
  put.PutEnumerated(d, FourCC("Enum"), typeOrdinal, enumTarget);
  put.PutObject(d, FourCC("Objc"), classDocument, object);
  put.PutGlobalObject(d, FourCC("GlbO"), classApplication, object);
  put.PutReference(d, FourCC("Refr"), reference);
  put.PutClass(d, FourCC("Clas"), classDocument);
  put.PutGlobalClass(d, FourCC("GCls"), classApplication);
  put.PutAlias(d, FourCC("Alis"), alias);
  put.PutData(d, FourCC("Data"), 3, const_cast<char*>("raw"));
  sPSActionDescriptor->Free(object);
  sPSActionReference->Free(reference);
  sPSHandle->Dispose(alias);
  // The host hands out path values but offers no put for them: this one is stored the way the
  // host keeps it, the zero-terminated path, as in an alias.
  zk::ActionValue pathValue;
  pathValue.type = typePath;
  pathValue.bytes = std::string("C:\\y.psd") + '\0';
  TestHost().Objects().Descriptor(d)->Put(FourCC("Path"), pathValue);

  int32_t integer = 0;
  double number = 0;
  DescriptorUnitID unit = 0;
  Boolean flag = false;
  DescriptorEnumTypeID enumType = 0;
  DescriptorEnumID enumValue = 0;
  DescriptorClassID cls = 0;
  PIActionDescriptor gotObject = nullptr, gotGlobal = nullptr;
  PIActionReference gotReference = nullptr;
  Handle gotAlias = nullptr, gotPath = nullptr;
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Intg"), &integer, nullptr), 0);
  EXPECT_EQ(integer, 7);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Flot"), &number, nullptr), 0);
  EXPECT_EQ(number, 2.5);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Unit"), &number, &unit), 0);
  EXPECT_EQ(number, 3.5);
  EXPECT_EQ(unit, unitDistance);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Bool"), &flag, nullptr), 0);
  EXPECT_TRUE(flag);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Enum"), &enumValue, &enumType), 0);
  EXPECT_EQ(enumType, typeOrdinal);
  EXPECT_EQ(enumValue, enumTarget);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Objc"), &gotObject, &cls), 0);
  EXPECT_EQ(cls, classDocument);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("GlbO"), &gotGlobal, &cls), 0);
  EXPECT_EQ(cls, classApplication);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Refr"), &gotReference, nullptr), 0);

  TestHost().Book().ResetCounts();
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("GCls"), &cls, nullptr), 0);
  EXPECT_EQ(cls, classApplication);
  EXPECT_EQ(TestHost().Book().Calls("PSActionDescriptor.GetClass"), 1) << "a global class is read with GetClass";
  EXPECT_EQ(TestHost().Book().Calls("PSActionDescriptor.GetGlobalClass"), 0);
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Alis"), &gotAlias, nullptr), 0);
  char path[16] = {};
  PIUAliasToPath(gotAlias, path, sizeof path);
  EXPECT_STREQ(path, "C:\\x.psd");
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Path"), &gotPath, nullptr), 0);
  PIUAliasToPath(gotPath, path, sizeof path);
  EXPECT_STREQ(path, "C:\\y.psd");
  EXPECT_EQ(TestHost().Book().Calls("PSActionDescriptor.GetAlias"), 2) << "a path is read with GetAlias";
  EXPECT_EQ(PIUGetDescriptorItem(d, FourCC("Data"), &integer, nullptr), kHelperUnimplemented);

  // What the helper hands out belongs to the caller.
  sPSActionDescriptor->Free(gotObject);
  sPSActionDescriptor->Free(gotGlobal);
  sPSActionReference->Free(gotReference);
  sPSHandle->Dispose(gotAlias);
  sPSHandle->Dispose(gotPath);
}

TEST_F(DescriptorHelpers, MissingKeysAndMissingArguments) {
  PIActionDescriptor d = Descriptor();
  sPSActionDescriptor->PutUnitFloat(d, keyWidth, unitPixels, 5);
  sPSActionDescriptor->PutString(d, keyTitle, "five!");
  int32_t untouched = 42;
  EXPECT_EQ(PIUGetDescriptorItem(d, keyHeight, &untouched, nullptr), 0) << "an absent key is no error";
  EXPECT_EQ(untouched, 42);
  EXPECT_EQ(PIUGetDescriptorItem(d, keyWidth, nullptr, nullptr), kHelperBadParameter);

  TestHost().Book().ResetCounts();
  double value = 0;
  char text[8] = {};
  EXPECT_EQ(PIUGetDescriptorItem(d, keyWidth, &value, nullptr), kHelperBadParameter);
  EXPECT_EQ(PIUGetDescriptorItem(d, keyTitle, text, nullptr), kHelperBadParameter);
  EXPECT_EQ(TestHost().Book().Calls("PSActionDescriptor.GetUnitFloat"), 0);
  EXPECT_EQ(TestHost().Book().Calls("PSActionDescriptor.GetStringLength"), 0);
}

TEST_F(DescriptorHelpers, TextMustFitTheCallersCapacity) {
  PIActionDescriptor d = Descriptor();
  sPSActionDescriptor->PutString(d, keyTitle, "five!");
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  uint32_t capacity = 5;  // the buffer then holds capacity + 1 bytes
  EXPECT_EQ(PIUGetDescriptorItem(d, keyTitle, buffer, &capacity), 0);
  EXPECT_STREQ(buffer, "five!");
  EXPECT_EQ(capacity, 5u);

  std::memset(buffer, 'x', sizeof buffer);
  capacity = 4;
  EXPECT_EQ(PIUGetDescriptorItem(d, keyTitle, buffer, &capacity), kHelperBadParameter);
  EXPECT_EQ(capacity, 5u) << "the real length is written";
  EXPECT_EQ(buffer[0], 'x') << "the buffer is not";
}

// A text key is read whole, as long as the reader takes texts that long: a longer one is refused
// before anything is made for it (the host's length is said all the same). The host check used to
// make a buffer of whatever length the host gave.
TEST_F(DescriptorHelpers, TextKeysAreReadWholeUpToTheLengthTheReaderTakes) {
  PIActionDescriptor d = Descriptor();
  sPSActionDescriptor->PutString(d, keyTitle, "five!");
  const struct {
    const char* name;
    uint32_t mostBytes;
    const char* failing;  // a procedure of the host that fails
    int32_t status;
    std::string text;
  } cases[] = {
      {"exactly as long as taken", 5, nullptr, 0, "five!"},
      {"shorter", 4096, nullptr, 0, "five!"},
      {"longer", 4, nullptr, kTextTooLong, ""},
      {"the length cannot be read", 4096, "PSActionDescriptor.GetStringLength", -25, ""},
      {"the text cannot be read", 4096, "PSActionDescriptor.GetString", -25, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestHost().Book().ClearFaults();
    TestHost().Book().ResetCounts();
    if (c.failing != nullptr) TestHost().Book().FailProcedure(c.failing, -25);
    std::string text = "earlier";
    uint32_t length = 0;
    EXPECT_EQ(ReadTextKey(d, keyTitle, c.mostBytes, &text, &length), c.status);
    EXPECT_EQ(text, c.text);
    if (c.failing == nullptr) {
      EXPECT_EQ(length, 5u);
    }
    if (c.status == kTextTooLong) {
      EXPECT_EQ(TestHost().Book().Calls("PSActionDescriptor.GetString"), 0) << "nothing is read";
    }
  }
}

TEST_F(DescriptorHelpers, AliasesHoldThePathAndKeepTheirLockState) {
  Handle alias = nullptr;
  FullPathToAlias("C:\\a.psd", alias);  // 8 characters
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(sPSHandle->GetSize(alias), 9);
  EXPECT_EQ(std::memcmp(*alias, "C:\\a.psd", 9), 0);

  // The handle goes back to its lock state on every way out, a path that does not fit among them.
  Handle unterminated = sPSHandle->New(4);
  ASSERT_NE(unterminated, nullptr);
  std::memcpy(*unterminated, "C:\\a", 4);  // no terminator inside the block
  const struct {
    const char* name;
    Handle alias;
    int32_t bufferBytes;
    const char* copied;
  } returns[] = {
      {"the path fits", alias, 16, "C:\\a.psd"},
      {"the path fits exactly", alias, 9, "C:\\a.psd"},
      {"the path does not fit", alias, 8, ""},
      {"the block holds no terminator", unterminated, 16, ""},
  };
  for (const auto& r : returns) {
    for (bool lockedBefore : {false, true}) {
      SCOPED_TRACE(std::string(r.name) + (lockedBefore ? ", locked before" : ", unlocked before"));
      Ptr address = nullptr;
      Boolean wasLocked = false;
      sPSHandle->SetLock(r.alias, lockedBefore, &address, &wasLocked);
      char path[16];
      std::memset(path, 'x', sizeof path);
      PIUAliasToPath(r.alias, path, r.bufferBytes);
      EXPECT_STREQ(path, r.copied);
      sPSHandle->SetLock(r.alias, lockedBefore, &address, &wasLocked);
      EXPECT_EQ(bool(wasLocked), lockedBefore) << "the lock state it had before";
    }
  }
  sPSHandle->Dispose(unterminated);

  // A path that does not fit the buffer is not cut, and nothing is written past the buffer.
  char small[12];
  std::memset(small, 'x', sizeof small);
  PIUAliasToPath(alias, small, 8);
  EXPECT_EQ(small[0], '\0');
  for (int i = 1; i < 12; ++i) EXPECT_EQ(small[i], 'x') << i;
  char exact[9];
  PIUAliasToPath(alias, exact, 9);
  EXPECT_STREQ(exact, "C:\\a.psd");

  char fromNull[4] = "abc";
  PIUAliasToPath(nullptr, fromNull, sizeof fromNull);
  EXPECT_EQ(fromNull[0], '\0');
  sPSHandle->Dispose(alias);
}

// An alias is never handed out holding bytes nobody wrote: a block that cannot be locked to be
// filled is disposed of, and the alias stays null, as when no block could be had at all.
TEST_F(DescriptorHelpers, AnAliasThatCannotBeFilledIsNull) {
  for (const char* procedure : {"PSHandle.New", "PSHandle.SetLock"}) {
    SCOPED_TRACE(procedure);
    TestHost().Book().ClearFaults();
    TestHost().Book().FailProcedure(procedure, -108);
    Handle alias = reinterpret_cast<Handle>(&alias);  // something the helper must overwrite
    FullPathToAlias("C:\\a.psd", alias);
    EXPECT_EQ(alias, nullptr);
    EXPECT_EQ(TestHost().Objects().Live().handles, 0u);
  }
  TestHost().Book().ClearFaults();
}

TEST_F(DescriptorHelpers, PlayResults) {
  EXPECT_EQ(CheckPlayResult(nullptr), -1);
  PIActionDescriptor quiet = Descriptor();
  EXPECT_EQ(CheckPlayResult(quiet), 0);
  PIActionDescriptor failed = Descriptor();
  sPSActionDescriptor->PutString(failed, keyMessage, "could not open");
  EXPECT_EQ(CheckPlayResult(failed), -1);
}

TEST_F(DescriptorHelpers, AFailingHostCallIsTheStatusAndLeavesNothing) {
  TestDocuments().Open(zk::HostDocument{"a", "C:\\a", 1, 1});
  for (const char* procedure :
       {"PSActionReference.Make", "PSActionReference.PutProperty", "PSActionReference.PutEnumerated",
        "PSActionControl.Get", "PSActionDescriptor.GetInteger"}) {
    SCOPED_TRACE(procedure);
    TestHost().Book().ClearFaults();
    TestHost().Book().FailProcedure(procedure, -25);
    int32_t count = 77;
    EXPECT_EQ(PIUGetTargetInfo(classApplication, keyNumberOfDocuments, &count, nullptr), -25);
    EXPECT_EQ(count, 77);
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
  }
  TestHost().Book().ClearFaults();
}

}  // namespace
