// The stand-in host's alias utility suite, as a plug-in reaches it: aliases made from UTF-16 paths
// keep every character and are no 8-bit text; the whole path of every alias the host made or
// hands out comes back, also where its 8-bit text lost characters; a buffer too small gets an
// error, never a cut path; cloud documents' aliases name no file.
#include "AliasBytes.h"
#include "DocumentModel.h"
#include "StandInAliasSuite.h"
#include "SuiteTestSupport.h"
#include "TemporaryFolder.h"
#include "TextConvert.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

class AliasSuiteTest : public zk_test::HostSuitesTest {
 protected:
  void SetUp() override {
    HostSuitesTest::SetUp();
    ASSERT_TRUE(Acquire(kPSAliasSuite, kPSAliasSuiteVersion2, &aliases));
  }
  void TearDown() override { EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive(); }

  // The whole path, or the status of a buffer of that many units (0: as many as the path needs).
  SPErr PathOf(AliasHandle alias, std::u16string* path, uint32_t units = 0) {
    std::vector<uint16_t> buffer(units ? units : 32768, 0xABCD);
    const SPErr status = aliases->AliasToUnicodePath(alias, buffer.data(), uint32_t(buffer.size()));
    path->clear();
    if (status == 0) {
      for (size_t i = 0; buffer[i] != 0; ++i) path->push_back(char16_t(buffer[i]));
    } else {
      EXPECT_EQ(0xABCD, buffer[0]) << "nothing written";
    }
    return status;
  }

  const PSAliasSuite2* aliases = nullptr;
};

TEST_F(AliasSuiteTest, BothVersionsAreOfferedAndTheOtherPlatformsSlotsAnswerAnError) {
  const PSAliasSuite1* first = nullptr;
  ASSERT_TRUE(Acquire(kPSAliasSuite, kPSAliasSuiteVersion1, &first));
  EXPECT_EQ(first->WinNewAliasFromWidePath, aliases->WinNewAliasFromWidePath);
  EXPECT_EQ(first->WinNewAliasFromPIDL, aliases->WinNewAliasFromPIDL);
  for (const PIAliasOtherPlatformSlot slot :
       {aliases->MacNewAliasFromCString, aliases->MacNewAliasFromFSRef, aliases->MacNewAliasFromNameAndFSRef}) {
    EXPECT_EQ(kSPUnimplementedError, slot());
  }
  const PSAliasSuite2* third = nullptr;
  EXPECT_FALSE(Acquire(kPSAliasSuite, 3, &third));
}

TEST_F(AliasSuiteTest, AliasesOfUtf16PathsKeepEveryCharacterAndAreNoText) {
  const std::u16string paths[] = {u"C:\\Fotos\\IMG_0001.CR2", u"C:\\Fotos\\J\u00fcrgen\\IMG_0001.CR2",
                                  u"C:\\Fotos\\\u5199\u771f\\IMG_0001.CR2", u"C:\\Fotos\\\U0001F305 16.CR2"};
  for (const std::u16string& path : paths) {
    SCOPED_TRACE(zk::Utf16ToUtf8(path));
    for (const auto make : {aliases->UnicodePathToAlias, aliases->WinNewAliasFromWidePath}) {
      AliasHandle alias = nullptr;
      ASSERT_EQ(0, make(reinterpret_cast<const uint16_t*>(path.c_str()), &alias));
      EXPECT_STREQ("", *alias) << "read as text, it names nothing";
      std::u16string back;
      EXPECT_EQ(0, PathOf(alias, &back));
      EXPECT_EQ(path, back);
      EXPECT_EQ(0, PathOf(alias, &back, uint32_t(path.size() + 1))) << "a buffer of exactly its size";
      EXPECT_EQ(path, back);
      EXPECT_EQ(kSPBadParameterError, PathOf(alias, &back, uint32_t(path.size()))) << "one unit short";
      SPBoolean cloud = 1;
      EXPECT_EQ(0, aliases->IsCloudFile(alias, &cloud));
      EXPECT_EQ(0, cloud);
      handles->Dispose(alias);
    }
  }
  AliasHandle alias = nullptr;
  const uint16_t empty[] = {0};
  EXPECT_EQ(kSPBadParameterError, aliases->UnicodePathToAlias(empty, &alias));
  EXPECT_EQ(kSPBadParameterError, aliases->UnicodePathToAlias(nullptr, &alias));
  EXPECT_EQ(nullptr, alias);
}

// 'FilR' is the old form: 8-bit text in the ANSI code page ('?' for what it lacks), and still the
// whole path through the suite. An alias a plug-in filled with 8-bit text reads in the same code page.
TEST_F(AliasSuiteTest, FileReferencesGiveTheWholePathWhateverTheirTextLost) {
  zk::DocumentModel documents;
  documents.AttachTo(host);
  const std::string file = "C:\\Fotos\\J\xC3\xBCrgen\\\xE5\x86\x99\xE7\x9C\x9F.png";
  documents.Open(zk::HostDocument{"a", file, 1, 1});
  PIActionReference reference = nullptr;
  ref->Make(&reference);
  ref->PutIndex(reference, classDocument, 1);
  PIActionDescriptor whole = nullptr;
  ASSERT_EQ(0, control->Get(&whole, reference));
  ref->Free(reference);
  AliasHandle alias = nullptr;
  ASSERT_EQ(0, desc->GetAlias(whole, keyFileReference, &alias));
  desc->Free(whole);
  EXPECT_STREQ("C:\\Fotos\\J\xFCrgen\\??.png", *alias);
  std::u16string back;
  EXPECT_EQ(0, PathOf(alias, &back));
  EXPECT_EQ(zk::Utf8ToUtf16(file), back);
  handles->Dispose(alias);

  const std::string ansi = "C:\\Fotos\\J\xFCrgen.png";
  Handle filled = handles->New(int32_t(ansi.size() + 1));
  std::copy(ansi.begin(), ansi.end() + 1, *filled);
  EXPECT_EQ(0, PathOf(filled, &back));
  EXPECT_EQ(u"C:\\Fotos\\J\u00fcrgen.png", back);
  handles->Dispose(filled);
}

TEST_F(AliasSuiteTest, CloudAliasesNameACloudPathAndNoFile) {
  AliasHandle byPath = nullptr, byReference = nullptr;
  ASSERT_EQ(0, aliases->NewAliasFromCloudPath("Team/J\xC3\xBCrgen.psd", &byPath));
  ASSERT_EQ(0, aliases->NewAliasFromCloudReference("Team/J\xC3\xBCrgen.psd", &byReference));
  for (const AliasHandle alias : {byPath, byReference}) {
    SPBoolean cloud = 0;
    EXPECT_EQ(0, aliases->IsCloudFile(alias, &cloud));
    EXPECT_NE(0, cloud);
    std::u16string path;
    EXPECT_EQ(kSPBadParameterError, PathOf(alias, &path)) << "no file on this system";
    for (const auto text : {aliases->CloudPathFromAlias, aliases->CloudReferenceFromAlias}) {
      ASZString z = nullptr;
      ASSERT_EQ(0, text(alias, &z));
      EXPECT_EQ(u"Team/J\u00fcrgen.psd", host.Objects().ZString(z)->text);
      zstrings->Release(z);
    }
    handles->Dispose(alias);
  }
  const uint16_t file[] = {'C', ':', '\\', 'a', 0};
  AliasHandle local = nullptr;
  ASSERT_EQ(0, aliases->UnicodePathToAlias(file, &local));
  ASZString z = nullptr;
  EXPECT_EQ(kSPBadParameterError, aliases->CloudPathFromAlias(local, &z)) << "a file's alias has no cloud path";
  handles->Dispose(local);
}

TEST_F(AliasSuiteTest, AnItemIdListOfAFileGivesItsPath) {
  zk_test::TemporaryFolder folder;
  const std::wstring path = folder.Path() + L"\\J\u00fcrgen \u5199.png";
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  PIDLIST_ABSOLUTE list = ILCreateFromPathW(path.c_str());
  ASSERT_NE(nullptr, list);
  AliasHandle alias = nullptr;
  ASSERT_EQ(0, aliases->WinNewAliasFromPIDL(list, &alias));
  ILFree(list);
  std::u16string back;
  EXPECT_EQ(0, PathOf(alias, &back));
  EXPECT_EQ(std::u16string(path.begin(), path.end()), back);
  handles->Dispose(alias);
}

}  // namespace
