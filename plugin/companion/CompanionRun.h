// What one bridge run keeps apart from the shared bridge state: the companion process (ended
// through this handle, never through its id, which the system may give to another program),
// the listener thread and the event that tells the listener the run is over.
#pragma once

#include "KernelHandles.h"

struct CompanionRunRecord {
  UniqueHandle companionProcess;
  UniqueHandle listenerThread;
  UniqueHandle runEnded;  // manual-reset
};

extern CompanionRunRecord CompanionRun;

// Creates the run's events.
void BeginCompanionRun();
// Tells the listener the run is over, waits for its thread to end and closes the run's handles.
void EndCompanionRun();
