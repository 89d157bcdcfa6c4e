#include "RunTiming.h"

#include <cwchar>

namespace {

thread_local int64_t* dialogEnd = nullptr;

bool IsStatusDialog(HWND window) {
  wchar_t className[16] = {};
  wchar_t caption[16] = {};
  GetClassNameW(window, className, 16);
  GetWindowTextW(window, caption, 16);
  return std::wcscmp(className, L"#32770") == 0 && std::wcscmp(caption, L"Dialog") == 0;
}

LRESULT CALLBACK WatchStatusDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && dialogEnd != nullptr && *dialogEnd == 0) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    const bool hidden = message->message == WM_WINDOWPOSCHANGING &&
                        (reinterpret_cast<const WINDOWPOS*>(message->lParam)->flags & SWP_HIDEWINDOW) != 0;
    if ((hidden || message->message == WM_DESTROY) && IsStatusDialog(message->hwnd)) *dialogEnd = PreciseNow();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

thread_local int64_t endTime = 0;

}  // namespace

int64_t PreciseNow() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  return int64_t(uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime);
}

StatusDialogEnd::StatusDialogEnd() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, WatchStatusDialog, nullptr, GetCurrentThreadId())) {
  endTime = 0;
  dialogEnd = &endTime;
}

StatusDialogEnd::~StatusDialogEnd() {
  dialogEnd = nullptr;
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}

int64_t StatusDialogEnd::At() const { return endTime; }

CompanionWatch::CompanionWatch(const BridgeRunHarness& run) : run_(run) {
  finder_ = std::thread([this] {
    while (!stop_) {
      if (const DWORD id = run_.CompanionProcessId()) {
        process_.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id));
        known_ = true;
        return;
      }
      Sleep(5);
    }
  });
}

CompanionWatch::~CompanionWatch() {
  stop_ = true;
  finder_.join();
}

bool CompanionWatch::WaitForProcess() {
  const ULONGLONG deadline = GetTickCount64() + kHangCeilingMs;
  while (!known_ && GetTickCount64() < deadline) Sleep(5);
  return known_ && process_.Valid();
}

int64_t CompanionWatch::EndedAt() {
  if (!WaitForProcess() || WaitForSingleObject(process_.Get(), kHangCeilingMs) != WAIT_OBJECT_0) return 0;
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process_.Get(), &created, &exited, &kernel, &user)) return 0;
  return int64_t(uint64_t(exited.dwHighDateTime) << 32 | exited.dwLowDateTime);
}

bool CompanionWatch::Kill() {
  if (!WaitForProcess()) return false;
  TerminateProcess(process_.Get(), 77);
  return true;
}

void FreshTranscript(BridgeRunHarness& run) {
  DeleteFileW((run.Install().Scratch() + L"\\transcript.txt").c_str());
}

bool WaitForLine(const BridgeRunHarness& run, const std::string& key) {
  const ULONGLONG deadline = GetTickCount64() + kHangCeilingMs;
  while (run.Values(key).empty()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(10);
  }
  return true;
}

bool CloseStatusDialog() {
  const ULONGLONG deadline = GetTickCount64() + kHangCeilingMs;
  while (GetTickCount64() < deadline) {
    if (HWND dialog = FindWindowW(L"#32770", L"Dialog")) {
      PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    }
    Sleep(10);
  }
  return false;
}
