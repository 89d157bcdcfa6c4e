#include "TestDialog.h"

#include <vector>

namespace zk_test {
namespace {

void PutWord(std::vector<WORD>& out, WORD value) { out.push_back(value); }
void PutDword(std::vector<WORD>& out, DWORD value) {
  out.push_back(LOWORD(value));
  out.push_back(HIWORD(value));
}
void PutText(std::vector<WORD>& out, const wchar_t* text) {
  for (; *text; ++text) out.push_back(WORD(*text));
  out.push_back(0);
}
void AlignDword(std::vector<WORD>& out) {
  if (out.size() % 2) out.push_back(0);
}

std::vector<WORD> BuildTemplate() {
  std::vector<WORD> t;
  PutDword(t, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);  // style
  PutDword(t, 0);                                                    // extended style
  PutWord(t, 1);                                                     // one control
  PutWord(t, 10); PutWord(t, 10); PutWord(t, 200); PutWord(t, 100);  // x, y, cx, cy
  PutWord(t, 0);                                                     // no menu
  PutWord(t, 0);                                                     // standard class
  PutText(t, kTestDialogCaption);
  AlignDword(t);
  PutDword(t, WS_CHILD | WS_VISIBLE | SS_LEFT);
  PutDword(t, 0);
  PutWord(t, 10); PutWord(t, 10); PutWord(t, 120); PutWord(t, 20);
  PutWord(t, kTextControlId);
  PutWord(t, 0xFFFF); PutWord(t, 0x0082);  // static
  PutText(t, kTestDialogText);
  PutWord(t, 0);  // no creation data
  return t;
}

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      return TRUE;
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) {
        Sleep(DWORD(GetWindowLongPtrW(dialog, DWLP_USER)));
      }
      return FALSE;
    case WM_CHAR:
      if (wParam == 27) EndDialog(dialog, kEndedByEscape);
      if (wParam == 13) EndDialog(dialog, kEndedByEnter);
      return TRUE;
    case WM_LBUTTONDOWN: {
      POINT at = {short(LOWORD(lParam)), short(HIWORD(lParam))};
      bool onBackground = ChildWindowFromPointEx(dialog, at, CWP_SKIPINVISIBLE) == dialog;
      EndDialog(dialog, onBackground ? kEndedByBackgroundClick : kEndedByClickOnControl);
      return TRUE;
    }
    case WM_CLOSE:
      EndDialog(dialog, kEndedByClose);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR ShowTestDialog(HWND owner, DWORD busyWhenShownMs) {
  std::vector<WORD> t = BuildTemplate();
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), owner,
                                 TestDialogProc, LPARAM(busyWhenShownMs));
}

}  // namespace zk_test
