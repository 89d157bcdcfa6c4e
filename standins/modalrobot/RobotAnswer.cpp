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

constexpr char kFilePrefix[] = "file=";
// The open-file dialog's file-name box (cmb13), on Windows and under Wine alike.
constexpr int kFileNameBox = 0x47c;

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], units);
  return wide;
}

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

// Types the path into an open-file dialog's name box and presses Open. A file answer to another
// window, or without a path, is Cancel.
std::string PickFile(const SeenDialog& dialog, const std::wstring& path) {
  if (path.empty() || GetDlgItem(dialog.window, kFileNameBox) == nullptr) {
    return "file->" + PressButton(dialog, RobotAnswer::Cancel, IDCANCEL);
  }
  SetDlgItemTextW(dialog.window, kFileNameBox, path.c_str());
  PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog.window, IDOK)));
  return "file";
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

bool ParseRobotReply(const std::string& text, RobotReply* reply) {
  if (text.rfind(kFilePrefix, 0) == 0 && text.size() > sizeof kFilePrefix - 1) {
    reply->answer = RobotAnswer::File;
    reply->file = Utf8ToWide(text.substr(sizeof kFilePrefix - 1));
    return true;
  }
  reply->file.clear();
  return ParseRobotAnswer(text, &reply->answer);
}

const char* RobotAnswerName(RobotAnswer answer) {
  if (answer == RobotAnswer::File) return "file";
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
    case RobotAnswer::File: return PickFile(dialog, std::wstring());
  }
  return "leave";
}

std::string DeliverRobotReply(const SeenDialog& dialog, const RobotReply& reply) {
  return reply.answer == RobotAnswer::File ? PickFile(dialog, reply.file) : DeliverRobotAnswer(dialog, reply.answer);
}

}  // namespace zk
