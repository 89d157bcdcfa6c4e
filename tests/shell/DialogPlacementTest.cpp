// Where a dialog of the family opens: centred over its owner's client area (over the desktop
// without an owner), shifted left by a caption button's width, in the upper third of the free
// height, and pushed back inside the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include "DialogPlacement.h"

namespace {

class OwnedWindows : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HWND window : windows) DestroyWindow(window);
  }
  HWND Make(DWORD style, RECT rect, HWND owner = nullptr) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, owner, nullptr, nullptr, nullptr);
    windows.insert(windows.begin(), window);  // dialogs go before their owners
    return window;
  }
  std::vector<HWND> windows;
};

struct Placement {
  const char* name;
  RECT owner;             // window rectangle of the owner; empty: no owner
  SIZE dialog;
  bool systemMenu;
  POINT expected;         // in terms of the owner's client origin and size, see Expected()
};

const int kScreenWidth = GetSystemMetrics(SM_CXSCREEN);
const int kScreenHeight = GetSystemMetrics(SM_CYSCREEN);
const int kButton = GetSystemMetrics(SM_CXSIZE);

TEST_F(OwnedWindows, DialogLandsWhereTheOwnerAndTheScreenAllow) {
  // A borderless owner: its client area is its window rectangle.
  struct Case {
    const char* name;
    RECT owner;
    SIZE dialog;
    bool systemMenu;
    int x, y;
  };
  const Case cases[] = {
      {"centred over the owner", {100, 50, 700, 550}, {200, 140}, true, 100 + 200 - kButton, 50 + 120},
      {"two thirds of the shift without a system menu", {100, 50, 700, 550}, {200, 140}, false,
       100 + 200 - (kButton - kButton / 3), 50 + 120},
      {"owner smaller than the dialog: no negative free room", {300, 200, 400, 260}, {200, 140}, true,
       300 - kButton, 200},
      {"overflowing to the right is pushed back", {kScreenWidth - 150, 10, kScreenWidth + 450, 510}, {200, 140}, true,
       kScreenWidth - 200, 10 + 120},
      {"overflowing at the bottom is pushed back", {100, kScreenHeight - 60, 700, kScreenHeight + 440}, {200, 140},
       true, 100 + 200 - kButton, kScreenHeight - 140},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND owner = Make(WS_POPUP | WS_VISIBLE, c.owner);
    HWND dialog = Make(WS_POPUP | (c.systemMenu ? WS_SYSMENU : 0), {0, 0, c.dialog.cx, c.dialog.cy}, owner);
    PlaceDialogOverParent(dialog);
    RECT placed{};
    GetWindowRect(dialog, &placed);
    EXPECT_EQ(placed.left, c.x);
    EXPECT_EQ(placed.top, c.y);
    EXPECT_EQ(placed.right - placed.left, c.dialog.cx) << "the size is kept";
    EXPECT_EQ(placed.bottom - placed.top, c.dialog.cy);
  }
}

TEST_F(OwnedWindows, WithoutOwnerTheDesktopIsTheParent) {
  HWND dialog = Make(WS_POPUP | WS_SYSMENU, {0, 0, 300, 200});
  PlaceDialogOverParent(dialog);
  RECT desktop{}, placed{};
  GetClientRect(GetDesktopWindow(), &desktop);
  GetWindowRect(dialog, &placed);
  EXPECT_EQ(placed.left, (desktop.right - 300) / 2 - kButton);
  EXPECT_EQ(placed.top, (desktop.bottom - 200) / 3);
}

}  // namespace
