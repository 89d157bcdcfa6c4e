// Starts the companion application and the listener thread at the start of a bridge run.
#pragma once

#include <windows.h>

#include <string>

// The executable's full path, " -s  " and the pipe name suffix; the path is not quoted.
std::wstring BuildCompanionCommandLine(const std::wstring& executable, const std::wstring& pipeNameSuffix);

// "Can't start Zentrast Kolvane: " and the system's text for the error (its number when the
// system has no text).
std::wstring StartFailureMessage(DWORD error);

// Runs inside the status dialog's initialisation. Either the companion and the listener run
// afterwards, or the dialog has been ended and the user told why.
void LaunchCompanion(HWND statusDialog);
