// Growing a dialog's text control until its text fits, on the status window's own template with
// a font much larger than the template's.
#include <gtest/gtest.h>

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
  const struct {
    const char* what;
    std::wstring text;
    bool grows;
  } cases[] = {
      {"one short line", L"Starting...", false},
      {"many lines", sentence + sentence + sentence + sentence, true},
      {"one word wider than the control", std::wstring(30, L'W'), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StatusTemplate status;
    ASSERT_NE(status.dialog, nullptr);
    const Rectangle dialogBefore = SizeOf(status.dialog), textBefore = SizeOf(status.text);
    status.Show(c.text);
    const ControlTextRoom room = MeasureTextRoom(status.text);
    EXPECT_TRUE(room.Fits()) << Describe(room);
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
