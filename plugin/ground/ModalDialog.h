// The module's one way to show a modal dialog.
#pragma once

#include <windows.h>

// DialogBoxParamA under the activation context the system made from the module's manifest.
// Returns -1 and shows nothing when that context cannot be looked up or activated.
INT_PTR ShowModalDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter);
