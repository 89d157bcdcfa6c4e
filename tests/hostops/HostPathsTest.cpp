// Paths between the module and the host: through the alias suite every path the system can name
// crosses whole, both ways; without it only what the ANSI code page holds, and any other path is
// refused rather than turned into one that names another file. And files are told apart as files,
// however they are named, and by spelling only where they cannot be opened.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "HostPaths.h"
#include "HostSuites.h"
#include "InProcessHost.h"
#include "InnerText.h"
#include "SameFile.h"

namespace {

std::string Utf8(const std::wstring& text) {
  const std::u16string units(text.begin(), text.end());
  return UnitsToInnerText(units.data(), units.size());
}

// A folder of the test's own under TEMP, made anew, holding the files a test makes.
std::wstring Scratch(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folder), ignored);
  std::filesystem::create_directories(std::filesystem::path(folder));
  return folder;
}

std::wstring MakeFile(const std::wstring& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(std::filesystem::path(path)) << "x";
  return path;
}

class HostPaths : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestHost(); }
  void TearDown() override {
    EXPECT_EQ(TestHost().Objects().Live().Total(), 0u) << TestHost().Objects().DescribeLive();
  }
};

// These tests run where the process's ANSI code page is 1252 (Wine's under C.UTF-8). Without the
// suite a path read back is taken only when its file exists: these do.
TEST_F(HostPaths, EveryPathCrossesWithTheAliasSuiteAndOnlyAnsiOnesWithout) {
  const std::wstring folder = Scratch(L"zk-host-paths");
  const struct {
    const char* name;
    std::string path;
    bool withoutSuite;  // carried without the alias suite
    bool withSuite;
  } cases[] = {
      {"ASCII", Utf8(MakeFile(folder + L"\\Fotos\\IMG_0001.CR2")), true, true},
      {"letters of the code page", Utf8(MakeFile(folder + L"\\Fotos\\J\u00FCrgen\\IMG_0001.CR2")), true, true},
      {"a folder named in Japanese", Utf8(MakeFile(folder + L"\\Fotos\\\u5199\u771F\\IMG_0001.CR2")), false, true},
      // The code page has no L with stroke; the system's best fit would write a plain L.
      {"a letter with only a look-alike in the code page", Utf8(MakeFile(folder + L"\\Fotos\\\u0141\u00F3dz\\a.CR2")),
       false, true},
      // U+1F600: in inner text a surrogate pair, each unit encoded on its own, as from the pipe.
      {"a character above U+FFFF", Utf8(MakeFile(folder + L"\\Fotos\\\U0001F600.CR2")), false, true},
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
      const int32_t refusal = c.path.find('\0') != std::string::npos ? kPathNotText : kPathNotCarried;
      ASSERT_EQ(status, carried ? 0 : refusal);
      ASSERT_EQ(alias.Valid(), carried);
      if (!carried) continue;
      std::string back;
      EXPECT_TRUE(AliasFilePath(alias.Get(), &back));
      EXPECT_EQ(back, c.path);
      // What the host itself reads: the stand-in tells the module's alias apart from its own text.
      const zk::HostHandle* block = TestHost().Objects().HandleOf(alias.Get());
      ASSERT_NE(block, nullptr);
      EXPECT_EQ(block->storage[0] == '\0', aliasSuite) << "the suite's aliases are not 8-bit text";
    }
  }
}

// Spelling alone, for paths whose files cannot be opened: as Windows resolves a path. A trailing
// dot or blank is no part of a name (the system opens the same file for "a.CR2 "); the test that
// said otherwise was wrong.
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
      {"C:\\Fotos\\a.CR2", "C:\\Fotos\\a.CR2 ", true},
      {"C:\\Fotos\\a.CR2", "C:\\Fotos\\a.CR2.", true},
      {"C:\\Fotos\\a.CR2", "C:\\Fotos\\\\Neu\\..\\.\\a.CR2", true},
      {"C:\\Fotos\\a.CR2", "\\\\?\\C:\\Fotos\\a.CR2", true},
      // The extended-length form is taken as it is: there the dot is part of the name.
      {"C:\\Fotos\\a.CR2", "\\\\?\\C:\\Fotos\\a.CR2.", false},
      {"\\\\server\\share\\a.CR2", "\\\\?\\UNC\\server\\share\\a.CR2", true},
      {"C:\\Fotos\\a.CR2", "C:\\Fotos\\b.CR2", false},
      {"C:\\Fotos\\J\xC3\xBCrgen\\a.CR2", "C:\\Fotos\\Jurgen\\a.CR2", false},  // no rules of a language
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " ~ " + c.b);
    EXPECT_EQ(SameWindowsPath(c.a, c.b), c.same);
    EXPECT_EQ(SameFile(c.a, c.b), c.same) << "no such file: by spelling";
    const WindowsPathOrder before;
    EXPECT_EQ(!before(c.a, c.b) && !before(c.b, c.a), c.same) << "a map keyed so finds one by the other";
  }
}

// Files that exist are compared as files: every other name of a file is that file, whatever its
// spelling, and two files are two however alike their names.
TEST_F(HostPaths, FilesAreComparedAsFiles) {
  const std::wstring folder = Scratch(L"zk-same-file");
  const std::wstring file = MakeFile(folder + L"\\First Name Long\\Shot 1.CR2");
  const std::wstring other = MakeFile(folder + L"\\First Name Long\\Shot 2.CR2");
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(file.c_str(), shortName, MAX_PATH), 0u);
  ASSERT_NE(std::wstring(shortName), file) << "no short name to test with";
  const std::string path = Utf8(file);
  const struct {
    const char* name;
    std::string other;
    bool same;
  } cases[] = {
      {"its short name", Utf8(shortName), true},
      {"a trailing dot", path + ".", true},
      {"the extended-length form", "\\\\?\\" + path, true},
      {"'/' and \"..\"", Utf8(folder) + "/First Name Long/../First Name Long/Shot 1.CR2", true},
      {"the folder itself", Utf8(folder + L"\\First Name Long"), false},
      {"another file", Utf8(other), false},
      {"a file that is not there, spelled alike", Utf8(folder) + "\\First Name Long\\Shot 3.CR2", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SameFile(path, c.other), c.same);
    EXPECT_EQ(SameFile(c.other, path), c.same);
  }
  // A folder is a file like any other: its short name is the folder.
  wchar_t shortFolder[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW((folder + L"\\First Name Long").c_str(), shortFolder, MAX_PATH), 0u);
  EXPECT_TRUE(SameFile(Utf8(folder + L"\\First Name Long"), Utf8(shortFolder)));
  EXPECT_TRUE(PathExists(Utf8(shortName)));
  EXPECT_FALSE(PathExists(Utf8(folder) + "\\nothing here"));
}

}  // namespace
