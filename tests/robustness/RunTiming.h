// Timing and endings of whole bridge runs for the robustness tests: when the companion's process
// ended (as the system records it), when the status dialog went away (hidden by its end or
// destroyed, as the person sees it), and ways to end a companion from outside.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "BridgeRunHarness.h"
#include "WindowsOwners.h"

// How long a wait here may last before it counts as a hang: a ceiling, never what is measured.
constexpr DWORD kHangCeilingMs = 30000;

// System time in 100 ns units.
int64_t PreciseNow();

// Records, on the calling thread, when the status dialog ("Dialog") is hidden or destroyed.
class StatusDialogEnd {
 public:
  StatusDialogEnd();
  ~StatusDialogEnd();
  int64_t At() const;  // 0 when it has not ended

 private:
  HHOOK hook_;
};

// Watches the run's companion from the moment its transcript names it: its process handle, and
// when it ended. The transcript must be fresh (see FreshTranscript) so the start line is this run's.
class CompanionWatch {
 public:
  explicit CompanionWatch(const BridgeRunHarness& run);
  ~CompanionWatch();
  // Waits until the companion's process is known (false after the hang ceiling).
  bool WaitForProcess();
  HANDLE Process() const { return process_.Get(); }
  // When the process ended, from the system's record; waits for the end (0 after the hang ceiling).
  int64_t EndedAt();
  // Ends the companion from outside, as a person or another program would (false when its process
  // never became known).
  bool Kill();

 private:
  const BridgeRunHarness& run_;
  UniqueHandle process_;
  std::atomic<bool> known_{false};
  std::atomic<bool> stop_{false};
  std::thread finder_;
};

// Removes the last run's transcript so that the next run's lines stand alone.
void FreshTranscript(BridgeRunHarness& run);

// Waits until the transcript has a line with this key (false after the hang ceiling).
bool WaitForLine(const BridgeRunHarness& run, const std::string& key);

// Closes the status dialog with its close box, as the person does, once it is there.
bool CloseStatusDialog();
