// Growing a dialog's text control until its text fits, on the status window's own template with
// a font much larger than the template's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ControlTextFit.h"
#include "ResourceIds.h"
#include "TextFit.h"
#include "WindowsOwners.h"

namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct Rectangle {
  int width, height;
};

Rectangle SizeOf(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// The status window's template, not shown, its text control in a large font.
struct StatusTemplate {
  StatusTemplate() {
    dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_STATUS_DIALOG), nullptr, QuietDialog, 0);
    text = GetDlgItem(dialog, IDC_STATUS_TEXT);
    font.Reset(CreateFontW(28, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
  }
  ~StatusTemplate() { DestroyWindow(dialog); }

  void Show(const std::wstring& shown) {
    SetWindowTextW(text, shown.c_str());
    GrowToFitText(dialog, IDC_STATUS_TEXT);
  }

  HWND dialog = nullptr;
  HWND text = nullptr;
  UniqueGdiObject<HFONT> font;
};

TEST(TextFit, TheControlAndTheDialogGrowByAsMuchAsTheTextNeeds) {
  const std::wstring sentence = L"Please use the Zentrast Kolvane window to work with the images.  ";
  std::wstring shortWords;
  for (int i = 0; i < 60; ++i) shortWords += L" ab";
  const struct {
    const char* what;
    std::wstring text;
    bool grows;
  } cases[] = {
      {"one short line", L"Starting...", false},
      {"many lines", sentence + sentence + sentence + sentence, true},
      {"one word wider than the control", std::wstring(30, L'W'), true},
      // At the old width the short words take many lines, at the widened one a few: the height is
      // that of the new width (it used to be measured at the old one, and the dialog grew too tall).
      {"a word wider than the control among short ones", std::wstring(60, L'W') + shortWords, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StatusTemplate status;
    ASSERT_NE(status.dialog, nullptr);
    const Rectangle dialogBefore = SizeOf(status.dialog), textBefore = SizeOf(status.text);
    status.Show(c.text);
    const ControlTextRoom room = MeasureTextRoom(status.text);
    EXPECT_TRUE(room.Fits()) << Describe(room);
    // Not taller than the text needs at the control's width, give or take the one line by which the
    // system's breaking (at runs of blanks) may differ from this measure's.
    const int lineHeight = room.lines > 0 ? room.neededHeight / room.lines : 0;
    EXPECT_LE(room.height, std::max(textBefore.height, room.neededHeight + lineHeight))
        << "taller than needed: " << Describe(room);
    const Rectangle dialogAfter = SizeOf(status.dialog), textAfter = SizeOf(status.text);
    if (c.grows) {
      EXPECT_GT(textAfter.width * textAfter.height, textBefore.width * textBefore.height);
    } else {
      EXPECT_EQ(textAfter.width, textBefore.width);
      EXPECT_EQ(textAfter.height, textBefore.height);
    }
    // The margins around the text stay those of the template.
    EXPECT_EQ(dialogAfter.width - dialogBefore.width, textAfter.width - textBefore.width);
    EXPECT_EQ(dialogAfter.height - dialogBefore.height, textAfter.height - textBefore.height);
  }
}

TEST(TextFit, AShorterTextLaterLeavesTheSizeAsItIs) {
  StatusTemplate status;
  ASSERT_NE(status.dialog, nullptr);
  const std::wstring sentence = L"This window will close automatically when you have finished.  ";
  status.Show(sentence + sentence + sentence);
  const Rectangle grown = SizeOf(status.dialog);
  status.Show(L"Done.");
  EXPECT_EQ(SizeOf(status.dialog).width, grown.width);
  EXPECT_EQ(SizeOf(status.dialog).height, grown.height);
  EXPECT_TRUE(MeasureTextRoom(status.text).Fits());
}

}  // namespace
