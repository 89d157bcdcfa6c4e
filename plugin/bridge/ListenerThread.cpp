#include "ListenerThread.h"

#include "FieldLists.h"
#include "MessageFraming.h"
#include "PipeChannel.h"
#include "PipeConnection.h"

std::string ListenerError;

namespace {

void PostNotice(HWND dialog, ListenerNoticeCode code) { PostMessageA(dialog, ListenerNotice, code, 0); }

// False when the run ended before the main thread served the request.
bool WaitForRequestServed(HANDLE requestServed, HANDLE runEnded) {
  const HANDLE waits[] = {requestServed, runEnded};
  return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0;
}

// The listener's work from the start data to the end of the run; see ListenerThread.
DWORD Listen(const ListenerStartData& start) {
  const HWND dialog = start.statusDialog;
  const std::wstring pipeName = L"\\\\.\\pipe\\" + start.pipeNameSuffix;
  const DWORD companionProcessId = start.companionProcessId;
  const HANDLE companionProcess = start.companionProcess.Get();
  const HANDLE runEnded = start.runEnded.Get();
  const HANDLE requestServed = start.requestServed.Get();

  UniqueFile pipe = CreateRunPipe(pipeName);
  switch (WaitForCompanion(pipe.Get(), companionProcess, companionProcessId, runEnded)) {
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

  PipeChannel channel(pipe.Get(), runEnded);
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
    if (!WaitForRequestServed(requestServed, runEnded)) return 0;
    if (!WriteMessage(channel, ReplyFields)) {
      if (WaitForSingleObject(runEnded, 0) == WAIT_OBJECT_0) return 0;
      ListenerError = "Error communicating with Zentrast";
      break;
    }
  }
  PostNotice(dialog, NoticeLost);
  return 0;
}

}  // namespace

DWORD WINAPI ListenerThread(LPVOID parameter) {
  const std::unique_ptr<ListenerStartData> start(static_cast<ListenerStartData*>(parameter));
  // The system runs this thread: an exception leaving it would end the host's process. One that
  // reaches here (no memory for a message, say) ends the run as a lost connection. It is thrown
  // only while the main thread serves no request, so ListenerError is the listener's to write.
  try {
    return Listen(*start);
  } catch (...) {
    try {
      ListenerError = "Error communicating with Zentrast";
    } catch (...) {
      ListenerError.clear();
    }
    PostNotice(start->statusDialog, NoticeLost);
    return 0;
  }
}

UniqueHandle StartListenerThread(std::unique_ptr<ListenerStartData> start) {
  UniqueHandle thread(CreateThread(nullptr, 0, ListenerThread, start.get(), 0, nullptr));
  if (thread) (void)start.release();  // the thread owns it now
  return thread;
}
