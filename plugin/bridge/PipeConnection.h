// Creating the run's pipe and waiting for the companion we started to connect to it.
#pragma once

#include <windows.h>

#include <string>

#include "WindowsOwners.h"

enum class ConnectOutcome { Connected, NotConnected, RunEnded };

constexpr DWORD kConnectTimeoutMs = 30000;

// The first and only instance of the name, local clients only. Invalid when another program
// already holds the name: the run then never shares a pipe with it.
UniqueFile CreateRunPipe(const std::wstring& pipeName);

// Waits up to timeoutMs for the companion process (its id) to connect. Ends early when that
// process exits or the run ends. A client of any other process is disconnected and the wait goes
// on for the rest of the time.
ConnectOutcome WaitForCompanion(HANDLE pipe, HANDLE companionProcess, DWORD companionProcessId, HANDLE runEnded,
                                DWORD timeoutMs = kConnectTimeoutMs);
