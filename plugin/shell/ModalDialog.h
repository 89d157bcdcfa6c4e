// The module's modal dialog call and its own instance handle.
#pragma once

#include <windows.h>

#include "HostTypes.h"

// DialogBoxParamA under the activation context the system made from the module's manifest.
// Returns -1 and shows nothing when that context cannot be looked up or activated.
INT_PTR ShowModalDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter);

// The instance that holds the module's resources. With a plug-in reference the host's access
// record is asked first; the answer is kept for later calls.
HINSTANCE PluginModuleHandle(SPPluginRef plugin);

// Recorded by the module's entry notification.
void RecordModuleHandle(HINSTANCE module);
