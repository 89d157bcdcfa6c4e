// The module's entry notification: records the instance handle the system gives it.
#include <windows.h>

#include "EntryPointProperty.h"  // compiled into every module: its resources name this architecture's entry
#include "ModuleInstance.h"
#include "SuiteHolder.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  RecordModuleHandle(instance);
  // A non-null reserved value at detach means the process is ending rather than the host
  // unloading the module: the host's suites may already be gone.
  if (reason == DLL_PROCESS_DETACH && reserved != nullptr) MarkProcessEnding();
  return TRUE;
}
