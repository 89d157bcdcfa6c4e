#include "TextFit.h"

#include <string>

#include "WindowsOwners.h"

namespace {

int AtLeastZero(int value) { return value < 0 ? 0 : value; }

// Moves a window rectangle of the given size back inside the work area of the monitor it is on;
// a window larger than the work area keeps its top left corner inside it.
POINT KeptOnScreen(HWND window, POINT topLeft, int width, int height) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return topLeft;
  const RECT& work = monitor.rcWork;
  if (topLeft.x + width > work.right) topLeft.x = work.right - width;
  if (topLeft.y + height > work.bottom) topLeft.y = work.bottom - height;
  if (topLeft.x < work.left) topLeft.x = work.left;
  if (topLeft.y < work.top) topLeft.y = work.top;
  return topLeft;
}

// The room the control's current text takes when the control draws it word-wrapped at the given
// width, in the control's own font: the height of all its lines, and the width of its widest line
// (more than the given width only when one word is wider on its own).
SIZE MeasureControlText(HWND control, int width) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(size_t(length) + 1, L'\0');
  GetWindowTextW(control, &text[0], length + 1);
  text.resize(size_t(length));

  WindowDeviceContext context(control);
  if (!context) return SIZE{0, 0};
  context.Select(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  // The same breaking rules a static control paints with.
  UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
  if (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) format |= DT_NOPREFIX;
  RECT room{0, 0, width, 0};
  DrawTextW(context.Get(), text.c_str(), length, &room, format);
  return SIZE{room.right - room.left, room.bottom - room.top};
}

}  // namespace

void GrowToFitText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  if (control == nullptr) return;
  RECT client{};
  GetClientRect(control, &client);
  SIZE needed = MeasureControlText(control, client.right);
  // A word wider than the control widens it, and at that width the other words may need fewer lines.
  if (needed.cx > client.right) needed.cy = MeasureControlText(control, needed.cx).cy;
  const int wider = AtLeastZero(needed.cx - client.right);
  const int taller = AtLeastZero(needed.cy - client.bottom);
  if (wider == 0 && taller == 0) return;

  RECT bounds{};
  GetWindowRect(control, &bounds);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
  SetWindowPos(control, nullptr, bounds.left, bounds.top, bounds.right - bounds.left + wider,
               bounds.bottom - bounds.top + taller, SWP_NOZORDER | SWP_NOACTIVATE);

  // The dialog grows by as much, so the margins around the text stay those of the template.
  GetWindowRect(dialog, &bounds);
  const int width = bounds.right - bounds.left + wider;
  const int height = bounds.bottom - bounds.top + taller;
  const POINT topLeft = KeptOnScreen(dialog, POINT{bounds.left - wider / 2, bounds.top}, width, height);
  SetWindowPos(dialog, nullptr, topLeft.x, topLeft.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
