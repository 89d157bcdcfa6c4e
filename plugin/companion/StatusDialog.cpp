#include "StatusDialog.h"

#include <string>

#include "BridgeRun.h"
#include "CompanionLauncher.h"
#include "ListenerThread.h"
#include "ModalDialog.h"
#include "ModuleInstance.h"
#include "RequestServing.h"
#include "ResourceIds.h"
#include "StringLoader.h"
#include "TextFit.h"
#include "WindowsOwners.h"

namespace {

constexpr COLORREF kTextColour = RGB(231, 231, 231);
constexpr COLORREF kBackgroundColour = RGB(40, 40, 40);
constexpr char kProblemCaption[] = "Problem communicating with Zentrast";

// Made on the first colour request, deleted when the dialog closes, made again when needed.
UniqueGdiObject<HBRUSH> DialogBrush;
UniqueGdiObject<HFONT> StatusFont;  // one per run, released when the run ends

HBRUSH EnsureDialogBrush() {
  if (!DialogBrush) DialogBrush.Reset(CreateSolidBrush(kBackgroundColour));
  return DialogBrush.Get();
}

void DeleteDialogBrush() { DialogBrush.Reset(); }

// The string the text control shows. The companion says "Running" as a keep-alive, over and over:
// setting the same text again would repaint the control and measure the text anew for nothing.
unsigned ShownStringId = 0;

// The text is drawn in the status font, not in the template's: the control grows when it needs more room.
void ShowText(HWND dialog, unsigned stringId) {
  if (stringId == ShownStringId) return;
  if (!SetDlgItemTextA(dialog, IDC_STATUS_TEXT, LoadModuleString(stringId).c_str())) return;
  ShownStringId = stringId;
  GrowToFitText(dialog, IDC_STATUS_TEXT);
}

void InitialiseStatusDialog(HWND dialog) {
  StatusFont.Reset(CreateFontA(20, 0, 0, 0, 0, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"));
  HWND text = GetDlgItem(dialog, IDC_STATUS_TEXT);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(StatusFont.Get()), TRUE);
  SetWindowLongA(text, GWL_STYLE, GetWindowLongA(text, GWL_STYLE) | SS_CENTER);
  ShownStringId = 0;  // a new dialog shows its template's text
  ShowText(dialog, IDS_STATUS_STARTING);
  LaunchCompanion(dialog);
}

void EndWithMessage(HWND dialog, const char* text) {
  EndDialog(dialog, 0);
  MessageBoxA(nullptr, text, kProblemCaption, MB_OK);
  // A notice the listener sent rather than posted is handled while the modal loop waits for a
  // posted message, and the message box's own loop has taken the one that ending the dialog
  // posted: wake the loop, or it would wait for the next input before it sees the dialog ended.
  PostMessageA(dialog, WM_NULL, 0, 0);
}

void HandleNotice(HWND dialog, WPARAM code) {
  switch (code) {
    case NoticeRequest:
      if (ServeRequest() == RequestOutcome::CompanionRunning) ShowText(dialog, IDS_STATUS_RUNNING);
      break;
    case NoticeFinished:
      EndDialog(dialog, 1);
      break;
    case NoticeLost:
      EndWithMessage(dialog, ("Connection to Zentrast was lost: " + ListenerError).c_str());
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
  if (processId == BridgeRun.CompanionProcessId && IsWindowVisible(window)) {
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
    if (BridgeRun.companionProcess) TerminateProcess(BridgeRun.companionProcess.Get(), kTerminatedExitCode);
    EndDialog(dialog, 1);
  }
}

INT_PTR HandleStatusMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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

}  // namespace

INT_PTR CALLBACK StatusDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // The system's dialog code calls this, inside the host's message loop: nothing may unwind
  // through those frames. What does (no memory for a text, say) ends the run, and with it the
  // listener; the companion then sees its pipe close.
  try {
    return HandleStatusMessage(dialog, message, wParam, lParam);
  } catch (...) {
    EndWithMessage(dialog, "Internal error: the run could not go on");
    return 0;
  }
}

void RunStatusDialog() {
  BeginBridgeRun();
  HWND owner = GetActiveWindow();
  ShowModalDialog(PluginModuleHandle(nullptr), MAKEINTRESOURCEA(IDD_STATUS_DIALOG), owner, StatusDialogProc, 0);
  EndBridgeRun();
  StatusFont.Reset();  // the dialog that used it is gone
}
