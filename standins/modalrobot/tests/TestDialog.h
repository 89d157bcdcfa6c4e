// A small in-memory dialog (one static text, no buttons) whose procedure tells how it was ended.
#pragma once

#include <windows.h>

namespace zk_test {

// Results the dialog ends with.
constexpr INT_PTR kEndedByEscape = 127;
constexpr INT_PTR kEndedByEnter = 113;
constexpr INT_PTR kEndedByBackgroundClick = 200;
constexpr INT_PTR kEndedByClickOnControl = 201;
constexpr INT_PTR kEndedByClose = 300;

constexpr int kTextControlId = 100;
constexpr wchar_t kTestDialogCaption[] = L"Robot test dialog";
constexpr wchar_t kTestDialogText[] = L"Static text \u00fc\u20ac";

// Shows the dialog modally on the calling thread; the result says how it ended (IDOK/IDCANCEL for commands).
// busyWhenShownMs keeps the thread from answering messages for that long just after the dialog became visible.
INT_PTR ShowTestDialog(HWND owner, DWORD busyWhenShownMs = 0);

}  // namespace zk_test
