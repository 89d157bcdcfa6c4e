// Finding the companion: the remembered folder, the default folder, the browse dialog, and what
// is remembered afterwards.
#include <gtest/gtest.h>

#include <atomic>

#include "CompanionInstall.h"
#include "CompanionLocator.h"
#include "ModalRobot.h"

namespace {

class Locator : public ::testing::Test {
 protected:
  CompanionInstall install;
};

TEST_F(Locator, RememberedFolderComesFirstThenTheDefault) {
  const std::wstring remembered = install.MakeFolder(L"D Apps ZK");
  const std::wstring empty = install.Scratch() + L"\\nothing here";
  const std::wstring accented = install.MakeFolder(L"M\u00fcller \u00e9t\u00e9");
  const std::wstring tooLong = install.MakeFolder(std::wstring(200, L'x') + L"\\" + std::wstring(60, L'y'));
  const std::string longValue = Utf8(tooLong) + '\0';
  ASSERT_GT(longValue.size(), 259u);

  const struct {
    const char* name;
    bool setValue;
    std::string value;
    DWORD type;
    bool defaultInstalled;
    std::wstring expected;
  } cases[] = {
      {"remembered folder with its terminating zero", true, Utf8(remembered) + '\0', REG_SZ, true, remembered},
      {"remembered folder without a terminating zero", true, Utf8(remembered), REG_SZ, false, remembered},
      {"non-ASCII folder name", true, Utf8(accented) + '\0', REG_SZ, false, accented},
      {"remembered folder lost its executable", true, Utf8(empty) + '\0', REG_SZ, true, kTestDefaultFolder},
      {"value of another type is ignored", true, Utf8(remembered) + '\0', REG_EXPAND_SZ, true, kTestDefaultFolder},
      {"value too long for the read counts as absent", true, longValue, REG_SZ, true, kTestDefaultFolder},
      {"value that is not UTF-8 counts as absent", true, "C:\\\xFF\xFE" + std::string(1, '\0'), REG_SZ, true,
       kTestDefaultFolder},
      {"no value, default folder", false, "", REG_SZ, true, kTestDefaultFolder},
      {"nowhere", true, Utf8(empty) + '\0', REG_SZ, false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompanionInstall fresh;  // each case starts from nothing
    if (c.setValue) fresh.SetPath(c.value, c.type);
    if (c.defaultInstalled) fresh.InstallInDefaultFolder();
    EXPECT_EQ(FindCompanionFolder(), c.expected);
    std::string after;
    if (c.setValue) {
      ASSERT_TRUE(fresh.ReadPath(&after));
      EXPECT_EQ(after, c.value) << "looking never changes the registry";
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
  EXPECT_EQ(BrowseForCompanionFolder(nullptr), folder);
  EXPECT_EQ(caption, L"Please browse to the location where Zentrast Kolvane is installed");
  std::string stored;
  ASSERT_TRUE(install.ReadPath(&stored));
  EXPECT_EQ(stored, Utf8(folder) + '\0');
}

TEST_F(Locator, CancelledBrowseGivesNoFolderAndRemembersNothing) {
  install.CreateKey();
  zk::ModalRobot robot({"leave"}, "cancel");
  robot.SetPrinter([&](const zk::SeenDialog& dialog) { AnswerFileDialog(dialog, L""); });
  EXPECT_EQ(BrowseForCompanionFolder(nullptr), L"");
  std::string stored;
  EXPECT_FALSE(install.ReadPath(&stored));
}

}  // namespace
