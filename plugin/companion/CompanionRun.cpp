#include "CompanionRun.h"

#include "BridgeState.h"

CompanionRunRecord CompanionRun;

namespace {

constexpr DWORD kListenerEndMs = 5000;

// Waits for the thread while still taking messages sent to this thread: the listener may be in
// the middle of sending its last notice.
void WaitForThread(HANDLE thread, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    const DWORD waited = MsgWaitForMultipleObjects(1, &thread, FALSE, DWORD(deadline - now), QS_SENDMESSAGE);
    if (waited != WAIT_OBJECT_0 + 1) return;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

void BeginCompanionRun() {
  RequestServed.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  CompanionRun.runEnded.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

void EndCompanionRun() {
  if (CompanionRun.runEnded) SetEvent(CompanionRun.runEnded.Get());
  if (CompanionRun.listenerThread) WaitForThread(CompanionRun.listenerThread.Get(), kListenerEndMs);
  CompanionRun.listenerThread.Reset();
  CompanionRun.companionProcess.Reset();
  CompanionRun.runEnded.Reset();
  RequestServed.Reset();
}
