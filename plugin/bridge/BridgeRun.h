// The state of one bridge run, in one record owned here: made when the status dialog opens
// (BeginBridgeRun), filled by the launcher, handed in duplicates to the listener thread, and
// closed when the dialog has gone (EndBridgeRun).
#pragma once

#include <windows.h>

#include <string>

#include "WindowsOwners.h"

constexpr wchar_t PipeNamePrefix[] = L"ZentrastKolvane";

struct BridgeRunRecord {
  std::wstring pipeNameSuffix;  // PipeNamePrefix and the host's process id
  // The companion is ended through this handle, never through its id, which the system may by
  // then have given to another program.
  UniqueHandle companionProcess;
  DWORD CompanionProcessId = 0;
  UniqueHandle runEnded;       // manual-reset: tells the listener the run is over
  UniqueHandle RequestServed;  // auto-reset: the reply to the current request is ready
  UniqueHandle listenerThread;
};

extern BridgeRunRecord BridgeRun;

// Creates the run's events.
void BeginBridgeRun();

// Starts the listener on the run's pipe with duplicates of the run's handles, which the thread
// takes over: it never depends on a handle the main thread closes at the end of the run.
bool StartRunListener(HWND statusDialog);

// Tells the listener the run is over, waits for its thread to end and closes the run's handles.
void EndBridgeRun();
