// Finding the companion: the remembered folder, the default folder, the browse dialog, and what
// is remembered afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "CompanionInstall.h"
#include "CompanionLocator.h"
#include "HangCeiling.h"
#include "ModalRobot.h"

namespace {

class Locator : public ::testing::Test {
 protected:
  void TearDown() override { DestroyWindow(owner); }
  CompanionInstall install;
  // The browse dialog is owned by the status dialog in a run; a visible window stands in for it.
  HWND owner = CreateWindowExW(0, L"STATIC", L"status", WS_POPUP | WS_VISIBLE, 100, 100, 300, 120, nullptr, nullptr,
                               nullptr, nullptr);
};

// What the registry value holds, given the folders a case made.
struct Folders {
  std::wstring remembered, empty, accented, tooLong;
  std::wstring longest;  // 258 bytes: with its zero, the longest value the read takes
  std::wstring oneMore;  // the same with one more letter: one byte too long
};

std::string WithZero(const std::wstring& folder) { return Utf8(folder) + '\0'; }

std::string WithoutTrailingZeros(std::string bytes) {
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return bytes;
}

TEST(LocatorCases, RememberedFolderComesFirstThenTheDefault) {
  const struct {
    const char* name;
    std::function<std::string(const Folders&)> value;  // null: no value
    DWORD type;
    bool defaultInstalled;
    std::function<std::wstring(const Folders&)> expected;
  } cases[] = {
      {"remembered folder with its terminating zero", [](const Folders& f) { return WithZero(f.remembered); }, REG_SZ,
       true, [](const Folders& f) { return f.remembered; }},
      {"remembered folder without a terminating zero", [](const Folders& f) { return Utf8(f.remembered); }, REG_SZ,
       false, [](const Folders& f) { return f.remembered; }},
      {"non-ASCII folder name", [](const Folders& f) { return WithZero(f.accented); }, REG_SZ, false,
       [](const Folders& f) { return f.accented; }},
      {"remembered folder lost its executable", [](const Folders& f) { return WithZero(f.empty); }, REG_SZ, true,
       [](const Folders&) { return std::wstring(kTestDefaultFolder); }},
      {"value of another type is ignored", [](const Folders& f) { return WithZero(f.remembered); }, REG_EXPAND_SZ,
       true, [](const Folders&) { return std::wstring(kTestDefaultFolder); }},
      {"value too long for the read counts as absent", [](const Folders& f) { return WithZero(f.tooLong); }, REG_SZ,
       true, [](const Folders&) { return std::wstring(kTestDefaultFolder); }},
      {"longest value the read takes", [](const Folders& f) { return WithZero(f.longest); }, REG_SZ, true,
       [](const Folders& f) { return f.longest; }},
      {"one byte longer counts as absent", [](const Folders& f) { return WithZero(f.oneMore); }, REG_SZ, true,
       [](const Folders&) { return std::wstring(kTestDefaultFolder); }},
      {"value that is not UTF-8 counts as absent",
       [](const Folders&) { return std::string("C:\\\xFF\xFE") + '\0'; }, REG_SZ, true,
       [](const Folders&) { return std::wstring(kTestDefaultFolder); }},
      {"no value, default folder", nullptr, REG_SZ, true,
       [](const Folders&) { return std::wstring(kTestDefaultFolder); }},
      {"nowhere", [](const Folders& f) { return WithZero(f.empty); }, REG_SZ, false,
       [](const Folders&) { return std::wstring(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompanionInstall install;  // each case starts from nothing and leaves nothing
    Folders folders;
    folders.remembered = install.MakeFolder(L"D Apps ZK");
    folders.empty = install.Scratch() + L"\\nothing here";
    folders.accented = install.MakeFolder(L"M\u00fcller \u00e9t\u00e9");
    folders.tooLong = install.MakeFolder(std::wstring(200, L'x') + L"\\" + std::wstring(60, L'y'));
    ASSERT_GT(WithZero(folders.tooLong).size(), 259u);
    // Where the first 259 bytes of the long value lead: a cut value would start the program there.
    const std::wstring cut = folders.tooLong.substr(0, 259);
    install.MakeFolder(cut.substr(install.Scratch().size() + 1));
    // Two folders side by side, both with the program: cut to the read's size, the longer value
    // would name the shorter folder.
    const size_t rest = 258 - install.Scratch().size() - 1;
    const std::wstring longName = std::wstring(rest / 2, L'l') + L"\\" + std::wstring(rest - rest / 2 - 1, L'm');
    folders.longest = install.MakeFolder(longName);
    folders.oneMore = install.MakeFolder(longName + L"n");
    ASSERT_EQ(WithZero(folders.longest).size(), 259u);
    ASSERT_EQ(WithZero(folders.oneMore).size(), 260u);
    if (c.value) install.SetPath(c.value(folders), c.type);
    if (c.defaultInstalled) install.InstallInDefaultFolder();

    EXPECT_EQ(FindCompanionFolder(), c.expected(folders));
    if (c.value) {
      std::string after;
      ASSERT_TRUE(install.ReadPath(&after));
      EXPECT_EQ(WithoutTrailingZeros(after), WithoutTrailingZeros(c.value(folders)))
          << "looking never changes the registry";
    }
  }
}

TEST_F(Locator, RemembersABrowsedFolderOnlyInAnExistingKey) {
  RememberCompanionFolder(L"E:\\Z");
  EXPECT_FALSE(install.KeyExists()) << "the key is never created";

  install.CreateKey();
  RememberCompanionFolder(L"E:\\Z \u00e9");
  std::string stored;
  ASSERT_TRUE(install.ReadPath(&stored));
  EXPECT_EQ(stored, std::string("E:\\Z \xC3\xA9") + '\0');
}

// Types the path into the open-file dialog's name box and confirms, or cancels.
void AnswerFileDialog(const zk::SeenDialog& dialog, const std::wstring& path) {
  constexpr int kFileNameBox = 0x47c;  // cmb13
  if (path.empty()) {
    PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  SetDlgItemTextW(dialog.window, kFileNameBox, path.c_str());
  PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// The file dialog returns once it is answered; one that is not fails the test at a ceiling.
std::wstring BrowseUntilAnswered(HWND owner) {
  const HangCeiling ceiling("the file dialog did not end once answered", 30000);
  return BrowseForCompanionFolder(owner);
}

TEST_F(Locator, BrowsingRemembersTheChosenFolder) {
  install.CreateKey();
  const std::wstring folder = install.MakeFolder(L"E Z");
  std::atomic<bool> answered{false};
  std::wstring caption;
  zk::ModalRobot robot({"leave"}, "cancel");
  robot.SetPrinter([&](const zk::SeenDialog& dialog) {
    if (answered.exchange(true)) return;
    caption = dialog.caption;
    AnswerFileDialog(dialog, folder + L"\\ZentrastKolvane.exe");
  });
  EXPECT_EQ(BrowseUntilAnswered(owner), folder);
  EXPECT_EQ(caption, L"Please browse to the location where Zentrast Kolvane is installed");
  std::string stored;
  ASSERT_TRUE(install.ReadPath(&stored));
  EXPECT_EQ(stored, Utf8(folder) + '\0');
}

TEST_F(Locator, CancelledBrowseGivesNoFolderAndRemembersNothing) {
  install.CreateKey();
  zk::ModalRobot robot({"leave"}, "cancel");
  robot.SetPrinter([&](const zk::SeenDialog& dialog) { AnswerFileDialog(dialog, L""); });
  EXPECT_EQ(BrowseUntilAnswered(owner), L"");
  std::string stored;
  EXPECT_FALSE(install.ReadPath(&stored));
}

}  // namespace
