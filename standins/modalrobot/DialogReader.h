// Reads a dialog window of this process from another thread without ever blocking on it.
#pragma once

#include "SeenDialog.h"

namespace zk {

constexpr wchar_t kDialogClass[] = L"#32770";

// True for a visible dialog-class top-level window that belongs to this process.
bool IsOwnModalCandidate(HWND window);

// Caption, static texts, push buttons, rectangle, owner and style (answer left empty).
SeenDialog ReadDialog(HWND window);

// A point of the client area (client coordinates) that no visible child control covers.
bool FindBackgroundPoint(HWND window, POINT* point);

}  // namespace zk
