// The worker thread that owns the run's named pipe: it waits for the companion to connect, then
// reads each request into RequestFields, has the status dialog serve it on the main thread, and
// writes ReplyFields back. It never calls the host.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "WindowsOwners.h"

// The listener's message to the status dialog; the code is in the first parameter.
constexpr UINT ListenerNotice = WM_APP + 0x65;
enum ListenerNoticeCode : WPARAM { NoticeRequest = 1, NoticeFinished = 2, NoticeLost = 3, NoticeConnected = 4 };

// What went wrong, for the status dialog's message after NoticeLost.
extern std::string ListenerError;

// What the listener needs; it owns the handles (duplicates made for it) once it runs.
struct ListenerStartData {
  HWND statusDialog = nullptr;
  std::wstring pipeNameSuffix;
  DWORD companionProcessId = 0;
  UniqueHandle companionProcess;
  UniqueHandle runEnded;
  UniqueHandle requestServed;
};

// Starts the thread, which takes the start data over. The thread's handle, or an empty one when
// it could not start (the start data is then released here).
UniqueHandle StartListenerThread(std::unique_ptr<ListenerStartData> start);

// The thread procedure: its argument is a ListenerStartData made with new, deleted by the thread.
DWORD WINAPI ListenerThread(LPVOID startData);
