// The robot against real modal windows shown on the test's main thread.
#include "ModalRobot.h"
#include "TestDialog.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <ostream>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using zk::ModalRobot;
using zk::SeenDialog;

namespace {

constexpr DWORD kWaitMs = 30000;  // a ceiling for a hang: the dialogs are seen within milliseconds
constexpr wchar_t kBoxCaption[] = L"Robot caption \u00e4";
constexpr wchar_t kBoxText[] = L"First line\nSecond line \u20ac";

struct BoxCase {
  const char* answer;
  UINT type;
  int expectedResult;  // 0: the box closed, whatever it returned
  const char* expectedDone;
};

void PrintTo(const BoxCase& c, std::ostream* out) { *out << c.answer << " on box type " << c.type; }

class RobotMessageBox : public testing::TestWithParam<BoxCase> {};

TEST_P(RobotMessageBox, AnswersAndRecordsTheBox) {
  const BoxCase& c = GetParam();
  ModalRobot robot({c.answer});
  int result = MessageBoxW(nullptr, kBoxText, kBoxCaption, c.type);
  if (c.expectedResult != 0) {
    EXPECT_EQ(c.expectedResult, result);
  }
  ASSERT_TRUE(robot.WaitForSeen(1, kWaitMs));
  std::vector<SeenDialog> seen = robot.Seen();
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(kBoxCaption, seen[0].caption);
  EXPECT_NE(seen[0].texts.end(), std::find(seen[0].texts.begin(), seen[0].texts.end(), std::wstring(kBoxText)));
  EXPECT_TRUE(seen[0].HasButton(IDOK) || seen[0].HasButton(IDYES));
  EXPECT_EQ(c.expectedDone, seen[0].answer);
}

// A button the box lacks is never pressed (Wine would accept it, Windows would not): the close box is used.
// Closing an OK-only box gives IDOK on Windows and IDCANCEL under Wine, so only its closing is checked.
INSTANTIATE_TEST_SUITE_P(Answers, RobotMessageBox,
                         testing::Values(BoxCase{"ok", MB_OK, IDOK, "ok"},
                                         BoxCase{"ok", MB_OKCANCEL, IDOK, "ok"},
                                         BoxCase{"cancel", MB_OKCANCEL, IDCANCEL, "cancel"},
                                         BoxCase{"escape", MB_OKCANCEL, IDCANCEL, "escape"},
                                         BoxCase{"enter", MB_OKCANCEL, IDOK, "enter"},
                                         BoxCase{"close", MB_OKCANCEL, IDCANCEL, "close"},
                                         BoxCase{"yes", MB_YESNO, IDYES, "yes"},
                                         BoxCase{"no", MB_YESNO, IDNO, "no"},
                                         BoxCase{"cancel", MB_OK, 0, "cancel->close"}));

TEST(RobotMessageBox, RecordsButtonsOfAnOkCancelBox) {
  ModalRobot robot({"cancel"});
  MessageBoxW(nullptr, L"text", L"caption", MB_OKCANCEL);
  ASSERT_TRUE(robot.WaitForSeen(1, kWaitMs));
  SeenDialog seen = robot.Seen()[0];
  EXPECT_TRUE(seen.HasButton(IDOK));
  EXPECT_TRUE(seen.HasButton(IDCANCEL));
  EXPECT_FALSE(seen.HasButton(IDYES));
  EXPECT_GT(seen.rect.right, seen.rect.left);
  EXPECT_NE(0, seen.style & WS_VISIBLE);
}

struct DialogCase {
  const char* answer;
  INT_PTR expectedResult;
};

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.answer; }

class RobotDialog : public testing::TestWithParam<DialogCase> {};

// The dialog has no push buttons, like the module's about box: keys must reach its procedure as WM_CHAR.
TEST_P(RobotDialog, DeliversTheAnswerToTheDialogProcedure) {
  const DialogCase& c = GetParam();
  ModalRobot robot({c.answer});
  EXPECT_EQ(c.expectedResult, zk_test::ShowTestDialog(nullptr));
  ASSERT_TRUE(robot.WaitForSeen(1, kWaitMs));
  SeenDialog seen = robot.Seen()[0];
  EXPECT_EQ(zk_test::kTestDialogCaption, seen.caption);
  ASSERT_EQ(1u, seen.texts.size());
  EXPECT_EQ(zk_test::kTestDialogText, seen.texts[0]);
  EXPECT_TRUE(seen.buttons.empty());
  EXPECT_EQ(c.answer, seen.answer);
}

INSTANTIATE_TEST_SUITE_P(Answers, RobotDialog,
                         testing::Values(DialogCase{"ok", IDOK}, DialogCase{"cancel", IDCANCEL},
                                         DialogCase{"escape", zk_test::kEndedByEscape},
                                         DialogCase{"enter", zk_test::kEndedByEnter},
                                         DialogCase{"click", zk_test::kEndedByBackgroundClick},
                                         DialogCase{"close", zk_test::kEndedByClose}));

// The robot reads a dialog the moment it shows, while the dialog's thread may still be busy showing it (longer
// than the robot waits for an answer to WM_GETTEXT): the texts must be recorded all the same.
TEST(RobotDialogReading, ReadsADialogWhoseThreadIsBusyAsItAppears) {
  ModalRobot robot({"close"});
  EXPECT_EQ(zk_test::kEndedByClose, zk_test::ShowTestDialog(nullptr, 1500));
  ASSERT_TRUE(robot.WaitForSeen(1, kWaitMs));
  SeenDialog seen = robot.Seen()[0];
  EXPECT_EQ(zk_test::kTestDialogCaption, seen.caption);
  ASSERT_EQ(1u, seen.texts.size());
  EXPECT_EQ(zk_test::kTestDialogText, seen.texts[0]);
  EXPECT_EQ("close", seen.answer);
}

TEST(RobotSequence, UsesAnswersInOrderThenTheDefault) {
  ModalRobot robot({"ok", "escape"}, "close");
  EXPECT_EQ(IDOK, zk_test::ShowTestDialog(nullptr));
  EXPECT_EQ(zk_test::kEndedByEscape, zk_test::ShowTestDialog(nullptr));
  EXPECT_EQ(zk_test::kEndedByClose, zk_test::ShowTestDialog(nullptr));
  EXPECT_EQ(zk_test::kEndedByClose, zk_test::ShowTestDialog(nullptr));
  ASSERT_TRUE(robot.WaitForSeen(4, kWaitMs));
  std::vector<SeenDialog> seen = robot.Seen();
  ASSERT_EQ(4u, seen.size());
  EXPECT_EQ("ok", seen[0].answer);
  EXPECT_EQ("escape", seen[1].answer);
  EXPECT_EQ("close", seen[2].answer);
  EXPECT_EQ("close", seen[3].answer);
}

TEST(RobotSequence, LeaveLetsThePrinterActOnTheWindow) {
  ModalRobot robot({"leave"});
  RECT rectSeenByPrinter = {};
  robot.SetPrinter([&](const SeenDialog& seen) {
    GetWindowRect(seen.window, &rectSeenByPrinter);
    PostMessageW(seen.window, WM_CHAR, 13, 0);
  });
  EXPECT_EQ(zk_test::kEndedByEnter, zk_test::ShowTestDialog(nullptr));
  ASSERT_TRUE(robot.WaitForSeen(1, kWaitMs));
  SeenDialog seen = robot.Seen()[0];
  EXPECT_EQ("leave", seen.answer);
  EXPECT_EQ(seen.rect.left, rectSeenByPrinter.left);
  EXPECT_EQ(seen.rect.bottom, rectSeenByPrinter.bottom);
}

TEST(RobotSequence, RecordsTheOwner) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(nullptr, owner);
  {
    ModalRobot robot({"ok"});
    EXPECT_EQ(IDOK, zk_test::ShowTestDialog(owner));
    ASSERT_TRUE(robot.WaitForSeen(1, kWaitMs));
    EXPECT_EQ(owner, robot.Seen()[0].owner);
  }
  DestroyWindow(owner);
}

TEST(RobotSequence, EscalationClosesADialogThatIgnoresItsAnswer) {
  ModalRobot robot({"yes"});  // the test dialog has no Yes handling: the command is ignored
  robot.SetEscalation(200);
  EXPECT_EQ(zk_test::kEndedByClose, zk_test::ShowTestDialog(nullptr));
}

// A dialog left to the printer is not answered, but with escalation on it is not left for ever
// either: a program that gives "leave" and then nobody acts still ends.
TEST(RobotSequence, EscalationAlsoClosesADialogLeftAlone) {
  ModalRobot robot({"leave"});
  robot.SetEscalation(200);
  EXPECT_EQ(zk_test::kEndedByClose, zk_test::ShowTestDialog(nullptr));
  ASSERT_TRUE(robot.WaitForSeen(1, kWaitMs));
  EXPECT_EQ("leave", robot.Seen()[0].answer);
}

TEST(RobotAnswerNames, RejectsUnknownAnswers) {
  zk::RobotAnswer answer;
  EXPECT_TRUE(zk::ParseRobotAnswer("escape", &answer));
  EXPECT_EQ(zk::RobotAnswer::Escape, answer);
  EXPECT_FALSE(zk::ParseRobotAnswer("Escape", &answer));
  EXPECT_FALSE(zk::ParseRobotAnswer("", &answer));
  EXPECT_THROW(ModalRobot({"sometimes"}), std::invalid_argument);
  zk::RobotReply reply;
  EXPECT_TRUE(zk::ParseRobotReply("file=C:\\J\xC3\xBCrgen\\a.png", &reply));
  EXPECT_EQ(zk::RobotAnswer::File, reply.answer);
  EXPECT_EQ(L"C:\\J\u00fcrgen\\a.png", reply.file);
  EXPECT_FALSE(zk::ParseRobotReply("file=", &reply)) << "a file answer names a file";
}

// "file=PATH" picks the file in an open-file dialog as a person does; given to a window without a
// file-name box it cancels it rather than leave it standing.
TEST(RobotFileAnswer, PicksTheFileInAnOpenFileDialog) {
  wchar_t folder[MAX_PATH] = {};
  ASSERT_NE(0u, GetTempPathW(MAX_PATH, folder));
  const std::wstring path = std::wstring(folder) + L"robot pick \u00fc.txt";
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
  std::string answer = "file=";
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(bytes - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
  {
    ModalRobot robot({answer + utf8, answer + utf8});
    std::vector<wchar_t> picked(MAX_PATH, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFile = picked.data();
    dialog.nMaxFile = DWORD(picked.size());
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    ASSERT_TRUE(GetOpenFileNameW(&dialog));
    EXPECT_EQ(path, std::wstring(picked.data()));
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, L"Not a file dialog", L"Robot", MB_OKCANCEL));
    ASSERT_EQ(2u, robot.Seen().size());
    EXPECT_EQ("file", robot.Seen()[0].answer);
    EXPECT_EQ("file->cancel", robot.Seen()[1].answer);
  }
  DeleteFileW(path.c_str());
}

}  // namespace
