// The modal status window of one bridge run. Its window procedure is where the run's work happens
// on the host's main thread: it starts the companion, serves each request the listener announces,
// and ends the run.
#pragma once

#include <windows.h>

// Runs the status dialog of one bridge run; returns when it has closed and the run has ended.
void RunStatusDialog();

INT_PTR CALLBACK StatusDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

constexpr int kTerminatedExitCode = 1234;
