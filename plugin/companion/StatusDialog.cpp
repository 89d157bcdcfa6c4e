#include "StatusDialog.h"

#include <string>

#include "BridgeState.h"
#include "CompanionLauncher.h"
#include "CompanionRun.h"
#include "GdiObject.h"
#include "ModalDialog.h"
#include "RequestDispatcher.h"
#include "ResourceIds.h"
#include "StringLoader.h"

namespace {

constexpr COLORREF kTextColour = RGB(231, 231, 231);
constexpr COLORREF kBackgroundColour = RGB(40, 40, 40);
constexpr char kProblemCaption[] = "Problem communicating with Zentrast";

// Made on the first colour request, deleted when the dialog closes, made again when needed.
GdiObject<HBRUSH> DialogBrush;
GdiObject<HFONT> StatusFont;  // one per run, released when the run ends

HBRUSH EnsureDialogBrush() {
  if (!DialogBrush) DialogBrush.Reset(CreateSolidBrush(kBackgroundColour));
  return DialogBrush.Get();
}

void DeleteDialogBrush() { DialogBrush.Reset(); }

void InitialiseStatusDialog(HWND dialog) {
  StatusFont.Reset(CreateFontA(20, 0, 0, 0, 0, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"));
  HWND text = GetDlgItem(dialog, IDC_STATUS_TEXT);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(StatusFont.Get()), TRUE);
  SetWindowLongA(text, GWL_STYLE, GetWindowLongA(text, GWL_STYLE) | SS_CENTER);
  SetDlgItemTextA(dialog, IDC_STATUS_TEXT, LoadModuleString(IDS_STATUS_STARTING).c_str());
  LaunchCompanion(dialog);
}

// Serves one request; every request gets exactly one reply, whatever the dispatch throws (a
// missing host suite raises a bare status, not a standard exception).
void ServeRequest(HWND dialog) {
  try {
    DispatchRequest(dialog);
  } catch (...) {
    ReplyFields.Clear();
    ReplyFields.Append("Error");
    ReplyFields.Append("Error processing ZKV request: " + ListenerError);
  }
  SetEvent(RequestServed.Get());
}

void EndWithMessage(HWND dialog, const std::string& text) {
  EndDialog(dialog, 0);
  MessageBoxA(nullptr, text.c_str(), kProblemCaption, MB_OK);
  // A notice the listener sent rather than posted is handled while the modal loop waits for a
  // posted message, and the message box's own loop has taken the one that ending the dialog
  // posted: wake the loop, or it would wait for the next input before it sees the dialog ended.
  PostMessageA(dialog, WM_NULL, 0, 0);
}

void HandleNotice(HWND dialog, WPARAM code) {
  switch (code) {
    case NoticeRequest:
      ServeRequest(dialog);
      break;
    case NoticeFinished:
      EndDialog(dialog, 1);
      break;
    case NoticeLost:
      EndWithMessage(dialog, "Connection to Zentrast was lost: " + ListenerError);
      break;
    case NoticeConnected:
      break;
    default:
      EndWithMessage(dialog, "Internal error: received unknown message type from listener");
      break;
  }
}

BOOL CALLBACK StopAtVisibleCompanionWindow(HWND window, LPARAM found) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == CompanionProcessId && IsWindowVisible(window)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

void HandleCloseRequest(HWND dialog) {
  bool companionWindowShown = false;
  EnumWindows(StopAtVisibleCompanionWindow, reinterpret_cast<LPARAM>(&companionWindowShown));
  const bool terminate =
      !companionWindowShown ||
      MessageBoxA(dialog,
                  "Closing this window will terminate Zentrast Kolvane, and you will lose any unsaved changes to the "
                  "image you are working on.  Are you sure you want to do this?",
                  "Terminate Zentrast?", MB_OKCANCEL) == IDOK;
  if (terminate) {
    // Through the handle the start returned: the id alone may by now name another program.
    if (CompanionRun.companionProcess) TerminateProcess(CompanionRun.companionProcess.Get(), kTerminatedExitCode);
    EndDialog(dialog, 1);
  }
}

}  // namespace

INT_PTR CALLBACK StatusDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseStatusDialog(dialog);
      return 1;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(EnsureDialogBrush());
    case WM_CTLCOLORSTATIC: {
      HDC context = reinterpret_cast<HDC>(wParam);
      SetTextColor(context, kTextColour);
      SetBkColor(context, kBackgroundColour);
      return reinterpret_cast<INT_PTR>(EnsureDialogBrush());
    }
    case WM_CLOSE:
      HandleCloseRequest(dialog);
      DeleteDialogBrush();
      return 0;
    case WM_DESTROY:
      DeleteDialogBrush();
      return 0;
    case ListenerNotice:
      HandleNotice(dialog, wParam);
      return 1;
    default:
      (void)lParam;
      return 0;
  }
}

void RunStatusDialog() {
  BeginCompanionRun();
  HWND owner = GetActiveWindow();
  ShowModalDialog(PluginModuleHandle(nullptr), MAKEINTRESOURCEA(IDD_STATUS_DIALOG), owner, StatusDialogProc, 0);
  EndCompanionRun();
  StatusFont.Reset();  // the dialog that used it is gone
}
