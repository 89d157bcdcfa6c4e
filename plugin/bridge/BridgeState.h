// The state of one bridge run, shared by the status dialog, the launcher, the listener thread and
// the dispatcher. The two threads hand it over without locks: the listener fills RequestFields
// before posting NoticeRequest and reads ReplyFields only after RequestServed is set.
#pragma once

#include <windows.h>

#include <string>

#include "FieldLists.h"
#include "KernelHandles.h"

// The listener's message to the status dialog; the code is in the first parameter.
constexpr UINT ListenerNotice = WM_APP + 0x65;
enum ListenerNoticeCode : WPARAM { NoticeRequest = 1, NoticeFinished = 2, NoticeLost = 3, NoticeConnected = 4 };

struct ListenerStartDataRecord {
  HWND statusDialog = nullptr;
  std::wstring pipeNameSuffix;
  DWORD companionProcessId = 0;
  // Duplicates made for the listener, which takes them over when it starts: it never depends on
  // a handle the main thread closes at the end of the run.
  HANDLE companionProcess = nullptr;
  HANDLE runEnded = nullptr;
  HANDLE requestServed = nullptr;
};

extern ListenerStartDataRecord ListenerStartData;
extern DWORD CompanionProcessId;
extern UniqueHandle RequestServed;  // auto-reset, one per run
extern FieldList RequestFields;
extern ReplyFieldList ReplyFields;
extern std::string ListenerError;

constexpr wchar_t PipeNamePrefix[] = L"ZentrastKolvane";
