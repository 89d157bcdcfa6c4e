#include "BridgeRun.h"

#include <memory>

#include "ListenerThread.h"

BridgeRunRecord BridgeRun;

namespace {

constexpr DWORD kListenerEndMs = 5000;

UniqueHandle DuplicateForListener(const UniqueHandle& handle) {
  HANDLE copy = nullptr;
  if (!handle ||
      !DuplicateHandle(GetCurrentProcess(), handle.Get(), GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    return UniqueHandle();
  }
  return UniqueHandle(copy);
}

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

void BeginBridgeRun() {
  BridgeRun.RequestServed.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  BridgeRun.runEnded.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

bool StartRunListener(HWND statusDialog) {
  auto start = std::make_unique<ListenerStartData>();
  start->statusDialog = statusDialog;
  start->pipeNameSuffix = BridgeRun.pipeNameSuffix;
  start->companionProcessId = BridgeRun.CompanionProcessId;
  start->companionProcess = DuplicateForListener(BridgeRun.companionProcess);
  start->runEnded = DuplicateForListener(BridgeRun.runEnded);
  start->requestServed = DuplicateForListener(BridgeRun.RequestServed);
  if (!start->companionProcess || !start->runEnded || !start->requestServed) return false;
  BridgeRun.listenerThread = StartListenerThread(std::move(start));
  return BridgeRun.listenerThread.Valid();
}

void EndBridgeRun() {
  if (BridgeRun.runEnded) SetEvent(BridgeRun.runEnded.Get());
  if (BridgeRun.listenerThread) WaitForThread(BridgeRun.listenerThread.Get(), kListenerEndMs);
  BridgeRun.listenerThread.Reset();
  BridgeRun.companionProcess.Reset();
  BridgeRun.CompanionProcessId = 0;
  BridgeRun.runEnded.Reset();
  BridgeRun.RequestServed.Reset();
}
