#include "DialogPlacement.h"

namespace {
int NotNegative(int value) { return value < 0 ? 0 : value; }
}

void PlaceDialogOverParent(HWND dialog) {
  HWND parent = GetParent(dialog);  // a dialog's owner
  if (parent == nullptr) parent = GetDesktopWindow();

  RECT client{};
  GetClientRect(parent, &client);
  POINT origin{client.left, client.top};
  ClientToScreen(parent, &origin);
  const int clientWidth = client.right - client.left;
  const int clientHeight = client.bottom - client.top;

  // Shifted left by a caption button's width, two thirds of it without a system menu.
  int shift = GetSystemMetrics(SM_CXSIZE);
  if ((GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) == 0) shift -= shift / 3;

  RECT bounds{};
  GetWindowRect(dialog, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;

  int x = NotNegative(clientWidth - width) / 2 + origin.x - shift;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  if (x + width > screenWidth) x = NotNegative(screenWidth - width);

  int y = NotNegative(clientHeight - height) / 3 + origin.y;
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (y + height > screenHeight) y = NotNegative(screenHeight - height);

  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
