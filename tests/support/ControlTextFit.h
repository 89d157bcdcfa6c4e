// Whether a static text control shows the whole of its text: the text is laid out here as the
// control lays it out (words wrapped at blanks to the control's width, in the control's own font),
// line by line with the font's own measures, and compared with the control's room.
#pragma once

#include <windows.h>

#include <string>

struct ControlTextRoom {
  std::wstring text;
  int lines = 0;
  int neededWidth = 0;   // of the widest line
  int neededHeight = 0;  // lines x the font's line height
  int width = 0;         // the control's client area
  int height = 0;
  bool insideDialog = false;  // the control lies wholly inside its parent's client area
  bool Fits() const { return insideDialog && neededWidth <= width && neededHeight <= height; }
};

ControlTextRoom MeasureTextRoom(HWND control);
// For failure messages: "3 lines need 290 x 72, the control has 288 x 94".
std::string Describe(const ControlTextRoom& room);
