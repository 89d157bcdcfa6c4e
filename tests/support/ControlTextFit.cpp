#include "ControlTextFit.h"

#include <algorithm>

namespace {

int ExtentOf(HDC context, const std::wstring& text, size_t from, size_t to) {
  SIZE size{};
  GetTextExtentPoint32W(context, text.c_str() + from, int(to - from), &size);
  return size.cx;
}

}  // namespace

ControlTextRoom MeasureTextRoom(HWND control) {
  ControlTextRoom room;
  const int length = GetWindowTextLengthW(control);
  room.text.assign(size_t(length) + 1, L'\0');
  GetWindowTextW(control, &room.text[0], length + 1);
  room.text.resize(size_t(length));
  RECT client{};
  GetClientRect(control, &client);
  room.width = client.right;
  room.height = client.bottom;

  RECT inControl{}, parent{};
  GetWindowRect(control, &inControl);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&inControl), 2);
  GetClientRect(GetParent(control), &parent);
  room.insideDialog = inControl.left >= 0 && inControl.top >= 0 && inControl.right <= parent.right &&
                      inControl.bottom <= parent.bottom;

  HDC context = GetDC(control);
  const HGDIOBJ previous = SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(context, &metrics);
  // Greedy wrapping at blanks: a line takes words while they fit; blanks at a break are dropped.
  const std::wstring& text = room.text;
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find(L' ', lineStart);
    if (lineEnd == std::wstring::npos) lineEnd = text.size();
    for (;;) {
      size_t next = text.find_first_not_of(L' ', lineEnd);
      if (next == std::wstring::npos) break;
      size_t wordEnd = text.find(L' ', next);
      if (wordEnd == std::wstring::npos) wordEnd = text.size();
      if (ExtentOf(context, text, lineStart, wordEnd) > room.width) break;
      lineEnd = wordEnd;
    }
    room.neededWidth = std::max(room.neededWidth, ExtentOf(context, text, lineStart, lineEnd));
    ++room.lines;
    lineStart = text.find_first_not_of(L' ', lineEnd);
    if (lineStart == std::wstring::npos) break;
  }
  room.neededHeight = room.lines * metrics.tmHeight;
  SelectObject(context, previous);
  ReleaseDC(control, context);
  return room;
}

std::string Describe(const ControlTextRoom& room) {
  return std::to_string(room.lines) + " lines need " + std::to_string(room.neededWidth) + " x " +
         std::to_string(room.neededHeight) + ", the control has " + std::to_string(room.width) + " x " +
         std::to_string(room.height) + (room.insideDialog ? "" : ", and it reaches outside the dialog");
}
