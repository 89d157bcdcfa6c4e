// The module's own instance handle: where its dialogs and strings are loaded from.
#pragma once

#include <windows.h>

#include "HostTypes.h"

// Recorded by the module's entry notification.
void RecordModuleHandle(HINSTANCE module);

// The instance that holds the module's resources. With a plug-in reference the host's access
// record is asked first; the answer is kept for later calls.
HINSTANCE PluginModuleHandle(SPPluginRef plugin);
