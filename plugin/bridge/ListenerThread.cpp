#include "ListenerThread.h"

#include "BridgeState.h"
#include "MessageFraming.h"
#include "PipeChannel.h"
#include "PipeConnection.h"

namespace {

void PostNotice(HWND dialog, ListenerNoticeCode code) { PostMessageA(dialog, ListenerNotice, code, 0); }

// False when the run ended before the main thread served the request.
bool WaitForRequestServed(HANDLE requestServed, HANDLE runEnded) {
  const HANDLE waits[] = {requestServed, runEnded};
  return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0;
}

}  // namespace

DWORD WINAPI ListenerThread(LPVOID parameter) {
  const auto& start = *static_cast<const ListenerStartDataRecord*>(parameter);
  const HWND dialog = start.statusDialog;
  const std::wstring pipeName = L"\\\\.\\pipe\\" + start.pipeNameSuffix;
  const DWORD companionProcessId = start.companionProcessId;
  UniqueHandle companionProcess(start.companionProcess);
  UniqueHandle runEnded(start.runEnded);
  UniqueHandle requestServed(start.requestServed);

  UniqueFile pipe = CreateRunPipe(pipeName);
  switch (WaitForCompanion(pipe.Get(), companionProcess.Get(), companionProcessId, runEnded.Get())) {
    case ConnectOutcome::RunEnded:
      return 0;
    case ConnectOutcome::NotConnected:
      ListenerError = "Unable to get connection from Zentrast";
      // Sent, not posted: the pipe stays open until the dialog has told the user.
      SendMessageA(dialog, ListenerNotice, NoticeLost, 0);
      return 0;
    case ConnectOutcome::Connected:
      break;
  }
  PostNotice(dialog, NoticeConnected);

  PipeChannel channel(pipe.Get(), runEnded.Get());
  for (;;) {
    const ReadStatus status = ReadMessage(channel, RequestFields);
    if (status.code == ReadRunEnded) return 0;
    if (status.code == PeerClosed) {
      PostNotice(dialog, NoticeFinished);
      return 0;
    }
    ListenerError = status.text;
    if (status.code != MessageComplete) break;

    PostNotice(dialog, NoticeRequest);
    if (!WaitForRequestServed(requestServed.Get(), runEnded.Get())) return 0;
    if (!WriteMessage(channel, ReplyFields)) {
      if (WaitForSingleObject(runEnded.Get(), 0) == WAIT_OBJECT_0) return 0;
      ListenerError = "Error communicating with Zentrast";
      break;
    }
  }
  PostNotice(dialog, NoticeLost);
  return 0;
}
