#include "RobotAnswer.h"

#include "DialogReader.h"

namespace zk {
namespace {

struct AnswerName {
  RobotAnswer answer;
  const char* name;
};

constexpr AnswerName kAnswerNames[] = {
    {RobotAnswer::Ok, "ok"},         {RobotAnswer::Cancel, "cancel"}, {RobotAnswer::Yes, "yes"},
    {RobotAnswer::No, "no"},         {RobotAnswer::Escape, "escape"}, {RobotAnswer::Enter, "enter"},
    {RobotAnswer::Click, "click"},   {RobotAnswer::Close, "close"},   {RobotAnswer::Leave, "leave"},
};

void PressCloseBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::string PressButton(const SeenDialog& dialog, RobotAnswer answer, int id) {
  std::string name = RobotAnswerName(answer);
  if (!dialog.buttons.empty() && !dialog.HasButton(id)) {
    PressCloseBox(dialog.window);
    return name + "->close";
  }
  PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog.window, id)));
  return name;
}

// A dialog with push buttons (a message box) gets the key as a user presses it: the dialog manager
// turns Escape into Cancel and Enter into the default button. A dialog without buttons gets the
// character straight away, so that its dialog procedure sees WM_CHAR (its modal loop dispatches it).
std::string PressKey(const SeenDialog& dialog, UINT key, wchar_t character, const char* name) {
  if (!dialog.buttons.empty()) {
    PostMessageW(dialog.window, WM_KEYDOWN, key, 1);
    PostMessageW(dialog.window, WM_KEYUP, key, LPARAM(0xC0000001));
  } else {
    PostMessageW(dialog.window, WM_CHAR, character, 1);
  }
  return name;
}

std::string ClickBackground(const SeenDialog& dialog) {
  POINT point = {};
  if (!FindBackgroundPoint(dialog.window, &point)) {
    PressCloseBox(dialog.window);
    return "click->close";
  }
  LPARAM where = MAKELPARAM(point.x, point.y);
  PostMessageW(dialog.window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(dialog.window, WM_LBUTTONUP, 0, where);
  return "click";
}

}  // namespace

bool ParseRobotAnswer(const std::string& text, RobotAnswer* answer) {
  for (const AnswerName& entry : kAnswerNames) {
    if (text == entry.name) {
      *answer = entry.answer;
      return true;
    }
  }
  return false;
}

const char* RobotAnswerName(RobotAnswer answer) {
  for (const AnswerName& entry : kAnswerNames) {
    if (entry.answer == answer) return entry.name;
  }
  return "?";
}

std::string DeliverRobotAnswer(const SeenDialog& dialog, RobotAnswer answer) {
  switch (answer) {
    case RobotAnswer::Ok: return PressButton(dialog, answer, IDOK);
    case RobotAnswer::Cancel: return PressButton(dialog, answer, IDCANCEL);
    case RobotAnswer::Yes: return PressButton(dialog, answer, IDYES);
    case RobotAnswer::No: return PressButton(dialog, answer, IDNO);
    case RobotAnswer::Escape: return PressKey(dialog, VK_ESCAPE, 27, "escape");
    case RobotAnswer::Enter: return PressKey(dialog, VK_RETURN, 13, "enter");
    case RobotAnswer::Click: return ClickBackground(dialog);
    case RobotAnswer::Close: PressCloseBox(dialog.window); return "close";
    case RobotAnswer::Leave: return "leave";
  }
  return "leave";
}

}  // namespace zk
