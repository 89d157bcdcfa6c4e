// What the robot read from one modal window when it first saw it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zk {

struct DialogButton {
  int id;
  std::wstring text;
};

struct SeenDialog {
  HWND window = nullptr;
  std::wstring caption;
  std::vector<std::wstring> texts;     // every static control, in child order (empty ones included)
  std::vector<DialogButton> buttons;   // push buttons, in child order
  RECT rect = {};                      // window rectangle, screen coordinates
  HWND owner = nullptr;
  LONG style = 0;
  std::string answer;                  // what the robot did, e.g. "escape" or "cancel->close"

  bool HasButton(int id) const;
};

}  // namespace zk
