// The about box, shown from this test program with the module's own code and resources: it closes
// on a click on its background, Escape, Enter, OK and Cancel; it opens over the active window; and
// no dialog of the family is left current once it has closed.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "AboutBox.h"
#include "HangCeiling.h"
#include "ModalRobot.h"
#include "PIDialog.h"
#include "ResourceIds.h"

namespace {

// Shows the about box; it returns only once the box has ended, which a box that ignores its answer
// never does: the test then fails at a ceiling instead of ctest's time-out.
void ShowAboutBoxUntilItEnds() {
  const HangCeiling ceiling("the about box did not end", 30000);
  ShowAboutBox(nullptr, IDD_ABOUT_BOX);
}

TEST(AboutBox, ClosesOnEveryWayTheUserDismissesIt) {
  for (const char* answer : {"click", "escape", "enter", "ok", "cancel"}) {
    SCOPED_TRACE(answer);
    zk::ModalRobot robot({answer}, "leave");
    ShowAboutBoxUntilItEnds();
    const std::vector<zk::SeenDialog> seen = robot.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(IsWindow(seen[0].window));
    EXPECT_EQ(seen[0].texts.at(0), L"Zentrast Kolvane Plug-In ");
    EXPECT_EQ(CurrentDialog(), nullptr);
  }
}

TEST(AboutBox, IsTheCurrentDialogWhileOpen) {
  std::atomic<bool> currentWhileOpen{false};
  std::atomic<HWND> itsWindow{nullptr};
  std::atomic<int32_t> itsTemplate{0};
  zk::ModalRobot robot({"leave"}, "leave");
  robot.SetPrinter([&](const zk::SeenDialog& dialog) {
    PIDialog* current = CurrentDialog();
    currentWhileOpen = current != nullptr;
    if (current != nullptr) {
      itsWindow = current->DialogWindow();
      itsTemplate = current->TemplateId();
    }
    PostMessageW(dialog.window, WM_CHAR, 27, 0);
  });
  ShowAboutBoxUntilItEnds();
  ASSERT_EQ(robot.Seen().size(), 1u);
  ASSERT_TRUE(currentWhileOpen.load());
  EXPECT_EQ(itsWindow.load(), robot.Seen()[0].window);
  EXPECT_EQ(itsTemplate.load(), IDD_ABOUT_BOX);
  EXPECT_EQ(CurrentDialog(), nullptr);
}

TEST(AboutBox, OpensOverTheActiveWindowAsItsOwner) {
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 40, 30, 800, 600, nullptr, nullptr,
                              nullptr, nullptr);
  SetActiveWindow(host);
  ASSERT_EQ(GetActiveWindow(), host);
  zk::ModalRobot robot({"escape"}, "leave");
  ShowAboutBoxUntilItEnds();
  DestroyWindow(host);

  ASSERT_EQ(robot.Seen().size(), 1u);
  const zk::SeenDialog box = robot.Seen()[0];  // Seen() returns a copy: a reference into it would dangle
  EXPECT_EQ(box.owner, host);
  const int width = box.rect.right - box.rect.left;
  const int height = box.rect.bottom - box.rect.top;
  EXPECT_EQ(box.rect.left, 40 + (800 - width) / 2 - GetSystemMetrics(SM_CXSIZE));
  EXPECT_EQ(box.rect.top, 30 + (600 - height) / 3);
}

TEST(AboutBox, WithoutActiveWindowHasNoOwner) {
  SetActiveWindow(nullptr);
  zk::ModalRobot robot({"escape"}, "leave");
  ShowAboutBoxUntilItEnds();
  ASSERT_EQ(robot.Seen().size(), 1u);
  EXPECT_EQ(robot.Seen()[0].owner, nullptr);
}

TEST(AboutBox, MissingTemplateShowsNothingAndReturns) {
  zk::ModalRobot robot({}, "cancel");
  PIAboutBox box;
  EXPECT_EQ(box.RunModal(nullptr, 4242), -1);
  EXPECT_TRUE(robot.Seen().empty());
  EXPECT_EQ(CurrentDialog(), nullptr);
}

}  // namespace
