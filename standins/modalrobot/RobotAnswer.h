// The ways the robot can answer a modal window, and how each one is delivered.
#pragma once

#include "SeenDialog.h"

#include <string>

namespace zk {

enum class RobotAnswer { Ok, Cancel, Yes, No, Escape, Enter, Click, Close, Leave, File };

// "ok", "cancel", "yes", "no", "escape", "enter", "click", "close", "leave"; false for anything else.
bool ParseRobotAnswer(const std::string& text, RobotAnswer* answer);
const char* RobotAnswerName(RobotAnswer answer);

// One answer as given: a name, or "file=PATH" (PATH in UTF-8), which types PATH into an open-file
// dialog's name box and presses Open, as a person picks a file.
struct RobotReply {
  RobotAnswer answer = RobotAnswer::Leave;
  std::wstring file;
};
bool ParseRobotReply(const std::string& text, RobotReply* reply);

// Delivers the answer to the dialog and says what was done. A button answer presses only a button
// that exists: Windows does not let a box be dismissed by a button it lacks (Wine does), so a dialog
// with push buttons but without the one asked for gets the close box instead ("cancel->close"). A
// dialog without any push button gets the command anyway: its dialog procedure may handle it.
// Escape and Enter reach a dialog without push buttons as WM_CHAR 27 / 13, a message box as keys.
std::string DeliverRobotAnswer(const SeenDialog& dialog, RobotAnswer answer);
// The same for a reply; a file reply to a window without a file-name box is Cancel.
std::string DeliverRobotReply(const SeenDialog& dialog, const RobotReply& reply);

}  // namespace zk
