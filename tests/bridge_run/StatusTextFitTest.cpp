// The status window shows the whole of its text, whatever room the fonts at hand give it: checked
// in a whole bridge run after each change of the text, in the text control's own font.
#include <gtest/gtest.h>

#include "BridgeRunHarness.h"
#include "ControlTextFit.h"

namespace {

constexpr int kStatusTextId = 100;
// Posted to the dialog's thread when its text has been set; it is taken from the queue only once
// the window procedure that set the text has returned, so whatever it does after the text is done.
constexpr UINT kCheckText = WM_APP + 0x3F1;

thread_local std::vector<ControlTextRoom>* checks = nullptr;
thread_local HWND statusText = nullptr;

LRESULT CALLBACK AfterSentMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_SETTEXT && GetDlgCtrlID(sent->hwnd) == kStatusTextId &&
      GetParent(sent->hwnd) != nullptr) {
    statusText = sent->hwnd;
    PostThreadMessageW(GetCurrentThreadId(), kCheckText, 0, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OnTakenMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* taken = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && taken->hwnd == nullptr && taken->message == kCheckText &&
      checks != nullptr && IsWindow(statusText)) {
    checks->push_back(MeasureTextRoom(statusText));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The share of its template size the text control is given before any text is set: a system whose
// dialog font is smaller than the text's own font (other fonts, other settings) leaves the text that
// much less room. Done when the control is first given a font (by the dialog manager, as it is made).
thread_local int controlPercent = 100;
thread_local HWND shrunk = nullptr;

LRESULT CALLBACK BeforeSentMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_SETFONT && controlPercent != 100 && sent->hwnd != shrunk &&
      GetDlgCtrlID(sent->hwnd) == kStatusTextId && GetParent(sent->hwnd) != nullptr) {
    shrunk = sent->hwnd;
    RECT client{};
    GetClientRect(sent->hwnd, &client);
    SetWindowPos(sent->hwnd, nullptr, 0, 0, client.right * controlPercent / 100, client.bottom * controlPercent / 100,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct TextChecks {
  TextChecks(std::vector<ControlTextRoom>* into, int percent)
      : sentHook(SetWindowsHookExW(WH_CALLWNDPROCRET, AfterSentMessage, nullptr, GetCurrentThreadId())),
        takenHook(SetWindowsHookExW(WH_GETMESSAGE, OnTakenMessage, nullptr, GetCurrentThreadId())),
        shrinkHook(SetWindowsHookExW(WH_CALLWNDPROC, BeforeSentMessage, nullptr, GetCurrentThreadId())) {
    checks = into;
    controlPercent = percent;
  }
  ~TextChecks() {
    checks = nullptr;
    controlPercent = 100;
    for (HHOOK hook : {sentHook, takenHook, shrinkHook}) {
      if (hook != nullptr) UnhookWindowsHookEx(hook);
    }
  }
  HHOOK sentHook, takenHook, shrinkHook;
};

TEST(StatusTextFit, EveryTextFitsItsControlInTheControlsFont) {
  const struct {
    const char* what;
    int percent;
  } rooms[] = {
      {"the template's size in the dialog font at hand", 100},
      {"three fifths of it, as with a dialog font smaller than the text's", 60},
  };
  BridgeRunHarness run;
  run.InstallRemembered();
  // Another request after "Running": the dialog is still up when the last text has been checked.
  run.SetScenario("window hidden\nrequest \"Running\"\nrequest \"CheckAllDocumentsSaved\"\n");
  for (const auto& room : rooms) {
    SCOPED_TRACE(room.what);
    std::vector<ControlTextRoom> checked;
    {
      const TextChecks hooks(&checked, room.percent);
      ASSERT_EQ(run.DoIt(), kSPNoError);
    }
    ASSERT_EQ(checked.size(), 2u) << "the starting text and the running text";
    EXPECT_EQ(checked[0].text, L"Please wait while Zentrast Kolvane starts up...");
    EXPECT_NE(checked[1].text.find(L"when you have finished."), std::wstring::npos);
    for (const ControlTextRoom& measured : checked) EXPECT_TRUE(measured.Fits()) << Describe(measured);
    EXPECT_GT(checked[1].lines, checked[0].lines) << "the running text is the longer one";
  }
}

}  // namespace
