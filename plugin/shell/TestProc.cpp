#include "TestProc.h"

INT_PTR CALLBACK TestProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return 1;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, LOWORD(wParam));
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}
