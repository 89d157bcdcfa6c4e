#include "DialogReader.h"

namespace zk {
namespace {

// The text the window holds, read without sending it a message (so without waiting for its thread).
std::wstring StoredText(HWND window) {
  std::wstring text(256, L'\0');
  for (;;) {
    int copied = InternalGetWindowText(window, &text[0], int(text.size()));
    if (copied < int(text.size()) - 1 || text.size() >= (1u << 20)) {
      text.resize(copied > 0 ? copied : 0);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

// WM_GETTEXT with a timeout: the window's thread may be busy, and the robot must never hang on it.
// A dialog's thread is busiest just as the robot first sees it (showing, activating, painting): when it
// does not answer in time, the text the window holds is read instead of recording none.
std::wstring ReadText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length)) return StoredText(window);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                           1000, &copied)) {
    return StoredText(window);
  }
  text.resize(copied < length ? copied : length);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  int length = GetClassNameW(window, name, 64);
  return std::wstring(name, length > 0 ? length : 0);
}

bool IsPushButton(HWND control) {
  LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

bool SeenDialog::HasButton(int id) const {
  for (const DialogButton& button : buttons) {
    if (button.id == id) return true;
  }
  return false;
}

bool IsOwnModalCandidate(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == kDialogClass;
}

SeenDialog ReadDialog(HWND window) {
  SeenDialog seen;
  seen.window = window;
  seen.caption = ReadText(window);
  GetWindowRect(window, &seen.rect);
  seen.owner = GetWindow(window, GW_OWNER);
  seen.style = GetWindowLongW(window, GWL_STYLE);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::wstring cls = ClassOf(child);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
      seen.texts.push_back(ReadText(child));
    } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsPushButton(child)) {
      seen.buttons.push_back({GetDlgCtrlID(child), ReadText(child)});
    }
  }
  return seen;
}

bool FindBackgroundPoint(HWND window, POINT* point) {
  RECT client = {};
  if (!GetClientRect(window, &client)) return false;
  // Scan from the middle of the bottom edge upwards: dialogs keep their controls near the top.
  for (LONG y = client.bottom - 2; y >= client.top + 1; y -= 3) {
    for (LONG dx = 0; dx <= client.right / 2; dx += 3) {
      for (LONG x : {client.right / 2 - dx, client.right / 2 + dx}) {
        POINT candidate = {x, y};
        if (x < client.left || x >= client.right) continue;
        if (ChildWindowFromPointEx(window, candidate, CWP_SKIPINVISIBLE) == window) {
          *point = candidate;
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace zk
