// The worker thread that owns the run's named pipe: it waits for the companion to connect, then
// reads each request, has the status dialog serve it on the main thread, and writes the reply.
#pragma once

#include <windows.h>

// The argument is the address of ListenerStartData.
DWORD WINAPI ListenerThread(LPVOID startData);
