#include "PipeConnection.h"

namespace {

constexpr DWORD kPipeBufferBytes = 4096;

bool IsCompanion(HANDLE pipe, DWORD companionProcessId) {
  ULONG client = 0;
  return GetNamedPipeClientProcessId(pipe, &client) != FALSE && client == companionProcessId;
}

}  // namespace

UniqueFile CreateRunPipe(const std::wstring& pipeName) {
  // One instance at most: Wine ignores the first-instance flag, but not the instance limit.
  return UniqueFile(CreateNamedPipeW(pipeName.c_str(),
                                     PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                     PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                     kPipeBufferBytes, kPipeBufferBytes, kConnectTimeoutMs, nullptr));
}

ConnectOutcome WaitForCompanion(HANDLE pipe, HANDLE companionProcess, DWORD companionProcessId, HANDLE runEnded,
                                DWORD timeoutMs) {
  if (pipe == INVALID_HANDLE_VALUE) return ConnectOutcome::NotConnected;
  UniqueHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!connected) return ConnectOutcome::NotConnected;
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;

  for (;;) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = connected.Get();
    ResetEvent(connected.Get());
    bool clientConnected = false;
    if (!ConnectNamedPipe(pipe, &overlapped)) {
      const DWORD error = GetLastError();
      if (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA) {
        // It connected before we started to wait, and may have closed its end again since: what it
        // wrote is still there to read, and the reads then tell the run it has gone. Which of the
        // two happened depends only on how soon this thread got here.
        clientConnected = true;
      } else if (error == ERROR_IO_PENDING) {
        const ULONGLONG now = GetTickCount64();
        const DWORD remaining = now < deadline ? DWORD(deadline - now) : 0;
        const HANDLE waits[] = {connected.Get(), companionProcess, runEnded};
        const DWORD waited = WaitForMultipleObjects(3, waits, FALSE, remaining);
        if (waited == WAIT_OBJECT_0) {
          DWORD ignored = 0;
          clientConnected = GetOverlappedResult(pipe, &overlapped, &ignored, FALSE) != FALSE;
        } else {
          // Time out, companion gone or run over: take the connect back before returning.
          CancelIo(pipe);
          DWORD ignored = 0;
          GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
          return waited == WAIT_OBJECT_0 + 2 ? ConnectOutcome::RunEnded : ConnectOutcome::NotConnected;
        }
      }
    }
    if (!clientConnected) return ConnectOutcome::NotConnected;
    if (IsCompanion(pipe, companionProcessId)) return ConnectOutcome::Connected;
    DisconnectNamedPipe(pipe);  // somebody else's client: offer the pipe again
    if (GetTickCount64() >= deadline) return ConnectOutcome::NotConnected;
  }
}
