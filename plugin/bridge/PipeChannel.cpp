#include "PipeChannel.h"

PipeChannel::PipeChannel(HANDLE pipeHandle, HANDLE runEndedEvent) : pipe(pipeHandle), runEnded(runEndedEvent) {}

ChannelResult PipeChannel::Transfer(bool reading, void* buffer, DWORD size, DWORD* moved) {
  *moved = 0;
  if (!completed) return ChannelResult::Failed;
  OVERLAPPED overlapped{};
  overlapped.hEvent = completed.Get();
  // ReadFile and WriteFile reset the event themselves as the call begins.
  const BOOL done = reading ? ReadFile(pipe, buffer, size, nullptr, &overlapped)
                            : WriteFile(pipe, buffer, size, nullptr, &overlapped);
  if (!done && GetLastError() != ERROR_IO_PENDING) {
    return GetLastError() == ERROR_BROKEN_PIPE ? ChannelResult::Closed : ChannelResult::Failed;
  }
  if (!done) {
    const HANDLE waits[] = {completed.Get(), runEnded};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
      // The run is over (or the wait broke): take the call back before its buffer goes away.
      CancelIo(pipe);
      GetOverlappedResult(pipe, &overlapped, moved, TRUE);
      *moved = 0;
      return ChannelResult::Ended;
    }
  }
  if (!GetOverlappedResult(pipe, &overlapped, moved, FALSE)) {
    *moved = 0;
    return GetLastError() == ERROR_BROKEN_PIPE ? ChannelResult::Closed : ChannelResult::Failed;
  }
  return ChannelResult::Complete;
}

// A byte-mode pipe's read completes as soon as any bytes are there, with as many as fit.
ChannelResult PipeChannel::ReadSome(void* buffer, uint32_t size, uint32_t* received) {
  DWORD moved = 0;
  const ChannelResult result = Transfer(true, buffer, size, &moved);
  *received = result == ChannelResult::Complete ? moved : 0;
  return result;
}

ChannelResult PipeChannel::WriteFully(const void* data, uint32_t size) {
  auto* bytes = static_cast<uint8_t*>(const_cast<void*>(data));
  uint32_t sent = 0;
  while (sent < size) {
    DWORD moved = 0;
    const ChannelResult result = Transfer(false, bytes + sent, size - sent, &moved);
    if (result != ChannelResult::Complete) return result;
    sent += moved;
  }
  return ChannelResult::Complete;
}
