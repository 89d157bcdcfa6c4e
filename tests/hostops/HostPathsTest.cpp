// Paths between the module and the host: through the alias suite every path the system can name
// crosses whole, both ways; without it only what the ANSI code page holds, and any other path is
// refused rather than turned into one that names another file. And paths are told apart as
// Windows tells files apart.
#include <gtest/gtest.h>

#include "HostPaths.h"
#include "HostSuites.h"
#include "InProcessHost.h"

namespace {

class HostPaths : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestHost(); }
  void TearDown() override {
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
  }
};

// These tests run where the process's ANSI code page is 1252 (Wine's under C.UTF-8).
TEST_F(HostPaths, EveryPathCrossesWithTheAliasSuiteAndOnlyAnsiOnesWithout) {
  const struct {
    const char* name;
    std::string path;
    bool withoutSuite;  // carried without the alias suite
    bool withSuite;
  } cases[] = {
      {"ASCII", "C:\\Fotos\\IMG_0001.CR2", true, true},
      {"letters of the code page", "C:\\Fotos\\J\xC3\xBCrgen\\IMG_0001.CR2", true, true},
      {"a folder named in Japanese", "C:\\Fotos\\\xE5\x86\x99\xE7\x9C\x9F\\IMG_0001.CR2", false, true},
      // The code page has no L with stroke; the system's best fit would write a plain L.
      {"a letter with only a look-alike in the code page", "C:\\Fotos\\\xC5\x81\xC3\xB3" "dz\\a.CR2", false, true},
      // U+1F600 as it arrives from the pipe: a surrogate pair, each unit encoded on its own.
      {"a character above U+FFFF", "C:\\Fotos\\\xED\xA0\xBD\xED\xB8\x80.CR2", false, true},
      {"a zero inside", std::string("C:\\Fotos\\a.CR2\0.txt", 19), false, false},
  };
  for (const auto& c : cases) {
    for (const bool aliasSuite : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (aliasSuite ? ", with the alias suite" : ", without it"));
      ResetTestHost();
      if (!aliasSuite) WithoutAliasSuite();
      const bool carried = aliasSuite ? c.withSuite : c.withoutSuite;
      HostHandleHolder alias;
      const int32_t status = MakePathAlias(c.path, alias);
      ASSERT_EQ(status, carried ? 0 : kPathNotCarried);
      ASSERT_EQ(alias.Valid(), carried);
      if (!carried) continue;
      std::string back;
      EXPECT_TRUE(AliasFilePath(alias.Get(), &back));
      EXPECT_TRUE(SameWindowsPath(back, c.path)) << back;
      // What the host itself reads: the stand-in tells the module's alias apart from its own text.
      const zk::HostHandle* block = TestHost().Objects().HandleOf(alias.Get());
      ASSERT_NE(block, nullptr);
      EXPECT_EQ(block->storage[0] == '\0', aliasSuite) << "the suite's aliases are not 8-bit text";
    }
  }
}

TEST_F(HostPaths, PathsAreToldApartAsWindowsTellsFilesApart) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"C:\\Fotos\\IMG_0001.CR2", "C:\\Fotos\\IMG_0001.CR2", true},
      {"C:\\Fotos\\IMG_0001.CR2", "c:\\fotos\\img_0001.cr2", true},
      {"C:\\Fotos\\IMG_0001.CR2", "C:/Fotos/IMG_0001.CR2", true},
      {"C:\\Fotos\\J\xC3\xBCrgen\\a.CR2", "C:\\FOTOS\\J\xC3\x9CRGEN\\A.cr2", true},  // ü and Ü
      {"C:\\Fotos\\a.CR2", "C:\\Fotos\\b.CR2", false},
      {"C:\\Fotos\\a.CR2", "C:\\Fotos\\a.CR2 ", false},
      {"C:\\Fotos\\J\xC3\xBCrgen\\a.CR2", "C:\\Fotos\\Jurgen\\a.CR2", false},  // no rules of a language
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " ~ " + c.b);
    EXPECT_EQ(SameWindowsPath(c.a, c.b), c.same);
    const WindowsPathOrder before;
    EXPECT_EQ(!before(c.a, c.b) && !before(c.b, c.a), c.same) << "a map keyed so finds one by the other";
  }
}

}  // namespace
