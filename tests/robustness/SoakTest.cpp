// Many "Do It"s in one host process, mixing the ways a run can end: the host process's handles, GDI
// objects and private bytes afterwards stay within a small slack of what they were before.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <thread>

#include "BridgeRunHarness.h"
#include "HostSuitesAll.h"
#include "RunTiming.h"

namespace {

struct ProcessFigures {
  DWORD handles = 0;
  DWORD gdiObjects = 0;
  SIZE_T privateBytes = 0;
};

// The handles this process holds. Where the system does not count them (Wine answers 0), the
// handle table is probed: every handle value that names an object counts.
DWORD HandleCount() {
  DWORD counted = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted != 0) return counted;
  DWORD flags = 0;
  for (uintptr_t value = 4; value < (1u << 18); value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++counted;
  }
  return counted;
}

ProcessFigures Measure() {
  ProcessFigures figures;
  figures.handles = HandleCount();
  figures.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  // The same figure on Windows; Wine fills only the page-file one.
  figures.privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
  return figures;
}

enum class Kind { Normal, Lost, HungThenClosed, NeverConnected };

// One run of the kind; checks what the person sees.
void RunOnce(BridgeRunHarness& run, Kind kind) {
  FreshTranscript(run);
  std::thread closer;
  switch (kind) {
    case Kind::Normal:
      run.SetScenario("window hidden\nrequest \"Running\"\nrequest \"GetOpenDocuments\"\n");
      break;
    case Kind::Lost:
      run.SetScenario("window hidden\nrequest \"Running\"\ncount 8\ntext \"tr\"\nclose\n");
      break;
    case Kind::HungThenClosed:
      run.SetScenario("window hidden\nrequest \"Running\"\nhang\n");
      // After a ceiling it closes even so, so that the run ends and the test reports.
      closer = std::thread([&run] {
        EXPECT_TRUE(WaitForLine(run, "hang")) << "the companion never wrote its \"hang\" line";
        EXPECT_TRUE(CloseStatusDialog()) << "the status dialog was never there to close";
      });
      break;
    case Kind::NeverConnected:
      run.SetScenario("window hidden\nnever-connect 0\n");
      break;
  }
  CompanionWatch companion(run);
  EXPECT_EQ(run.DoIt(), kSPNoError);
  if (closer.joinable()) closer.join();
  EXPECT_NE(companion.EndedAt(), 0) << "the run's companion had not ended";  // before the next run
  const size_t messages = run.Messages().size();
  EXPECT_EQ(messages, kind == Kind::Lost || kind == Kind::NeverConnected ? 1u : 0u);
  EXPECT_EQ(run.Host().Objects().Live().Total(), 0u) << run.Host().Objects().DescribeLive();
}

TEST(Soak, TwoHundredRunsLeaveNoHandlesObjectsOrMemoryBehind) {
  BridgeRunHarness run;
  run.InstallRemembered();
  const Kind kinds[] = {Kind::Normal, Kind::Lost, Kind::HungThenClosed, Kind::NeverConnected};
  // The first runs make what lives for the process (thread pools, caches, the loaded libraries).
  for (int i = 0; i < 8; ++i) RunOnce(run, kinds[i % 4]);
  const size_t threads = ThreadCount();
  const ProcessFigures before = Measure();
  for (int i = 0; i < 200 && !::testing::Test::HasFailure(); ++i) RunOnce(run, kinds[i % 4]);
  // Each run waits for its own threads; a thread the system still winds down is waited for here.
  const ULONGLONG deadline = GetTickCount64() + kHangCeilingMs;
  while (ThreadCount() > threads && GetTickCount64() < deadline) Sleep(10);
  EXPECT_LE(ThreadCount(), threads) << "threads the runs started were still running";
  const ProcessFigures after = Measure();
  std::printf("soak, 200 runs: handles %lu -> %lu, GDI objects %lu -> %lu, private bytes %zu -> %zu\n",
              before.handles, after.handles, before.gdiObjects, after.gdiObjects, size_t(before.privateBytes),
              size_t(after.privateBytes));
  std::fflush(stdout);
  // Slack: a few handles for threads still ending, no GDI object, 2 MiB of heap that the runtime keeps.
  EXPECT_LE(after.handles, before.handles + 10);
  EXPECT_LE(after.gdiObjects, before.gdiObjects + 2);
  EXPECT_LE(after.privateBytes, before.privateBytes + (2u << 20));
}

}  // namespace
