// The run's pipe: one instance only, and only the companion we started may use it.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "PipeConnection.h"

namespace {

// A ceiling for a hang, given where the call under test takes a time limit that is not the point.
constexpr DWORD kHangCeilingMs = 60000;

std::wstring UniquePipeName(const wchar_t* tag) {
  return L"\\\\.\\pipe\\zk-connect-" + std::wstring(tag) + L"-" + std::to_wstring(GetCurrentProcessId());
}

UniqueFile OpenClient(const std::wstring& name) {
  return UniqueFile(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

// A real, short-lived other process: this test program listing its tests.
UniqueHandle StartShortLivedProcess(DWORD* processId) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // no inherited output
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return UniqueHandle();
  }
  CloseHandle(started.hThread);
  *processId = started.dwProcessId;
  return UniqueHandle(started.hProcess);
}

class PipeConnection : public ::testing::Test {
 protected:
  UniqueHandle runEnded{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle self{OpenProcess(SYNCHRONIZE, FALSE, GetCurrentProcessId())};
};

TEST_F(PipeConnection, ANameAlreadyHeldIsNeverShared) {
  const std::wstring name = UniquePipeName(L"held");
  UniqueFile other = CreateRunPipe(name);
  ASSERT_TRUE(other.Valid());
  UniqueFile ours = CreateRunPipe(name);
  EXPECT_FALSE(ours.Valid());
  // Windows refuses the first-instance flag with 5, Wine only the instance limit with 231.
  EXPECT_TRUE(GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_PIPE_BUSY) << GetLastError();
  EXPECT_EQ(WaitForCompanion(ours.Get(), self.Get(), GetCurrentProcessId(), runEnded.Get(), 200),
            ConnectOutcome::NotConnected);
}

TEST_F(PipeConnection, TheCompanionConnectsEarlyOrLate) {
  const std::wstring name = UniquePipeName(L"early");
  UniqueFile pipe = CreateRunPipe(name);
  UniqueFile early = OpenClient(name);  // before the wait starts
  ASSERT_TRUE(early.Valid());
  EXPECT_EQ(WaitForCompanion(pipe.Get(), self.Get(), GetCurrentProcessId(), runEnded.Get(), 2000),
            ConnectOutcome::Connected);

  // Connected, written and gone before the wait starts (a companion quicker than the listener's
  // thread): still the companion, whose bytes the run reads before it sees the pipe closed.
  const std::wstring goneName = UniquePipeName(L"gone");
  UniqueFile gonePipe = CreateRunPipe(goneName);
  UniqueFile gone = OpenClient(goneName);
  ASSERT_TRUE(gone.Valid());
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(gone.Get(), "zk", 2, &written, nullptr));
  gone.Reset();
  EXPECT_EQ(WaitForCompanion(gonePipe.Get(), self.Get(), GetCurrentProcessId(), runEnded.Get(), 2000),
            ConnectOutcome::Connected);
  char bytes[2] = {};
  DWORD read = 0;
  OVERLAPPED overlapped{};
  UniqueHandle readDone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  overlapped.hEvent = readDone.Get();
  if (!ReadFile(gonePipe.Get(), bytes, 2, &read, &overlapped) && GetLastError() == ERROR_IO_PENDING) {
    GetOverlappedResult(gonePipe.Get(), &overlapped, &read, TRUE);
  }
  EXPECT_EQ(std::string(bytes, read), "zk");

  // Late: the pipe takes no client until the wait offers it. A pipe that has let a client go takes
  // none before it is offered again (a new one takes clients at once, which made "late" a matter of
  // timing), so the companion can only connect while the wait is under way.
  const std::wstring lateName = UniquePipeName(L"late");
  UniqueFile latePipe = CreateRunPipe(lateName);
  ASSERT_TRUE(OpenClient(lateName).Valid());
  ASSERT_TRUE(DisconnectNamedPipe(latePipe.Get()));
  const UniqueFile tooEarly = OpenClient(lateName);
  const DWORD refused = GetLastError();
  ASSERT_FALSE(tooEarly.Valid()) << "the pipe took a client before the wait offered it";
  EXPECT_EQ(refused, DWORD(ERROR_PIPE_BUSY));
  UniqueFile late;
  std::thread companion([&] {
    // Waits for the pipe to be offered, then connects.
    if (WaitNamedPipeW(lateName.c_str(), kHangCeilingMs)) late = OpenClient(lateName);
  });
  EXPECT_EQ(WaitForCompanion(latePipe.Get(), self.Get(), GetCurrentProcessId(), runEnded.Get(), kHangCeilingMs),
            ConnectOutcome::Connected);
  companion.join();
  EXPECT_TRUE(late.Valid()) << "the companion never connected";
}

TEST_F(PipeConnection, AClientOfAnotherProcessIsTurnedAway) {
  const std::wstring name = UniquePipeName(L"stranger");
  UniqueFile pipe = CreateRunPipe(name);
  UniqueFile stranger = OpenClient(name);  // this process, while the companion is another one
  ASSERT_TRUE(stranger.Valid());
  const ULONGLONG started = GetTickCount64();
  DWORD otherId = 0;
  UniqueHandle other = StartShortLivedProcess(&otherId);
  ASSERT_TRUE(other.Valid());
  // The companion here exits without connecting, which also ends the wait: well before its limit,
  // however long the process took to start and end.
  EXPECT_EQ(WaitForCompanion(pipe.Get(), other.Get(), otherId, runEnded.Get(), kHangCeilingMs),
            ConnectOutcome::NotConnected);
  EXPECT_LT(GetTickCount64() - started, kHangCeilingMs) << "a companion that died must not be waited for";
  EXPECT_EQ(WaitForSingleObject(other.Get(), 0), WAIT_OBJECT_0);
  char byte = 0;
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(stranger.Get(), &byte, 1, &read, nullptr)) << "the stranger was disconnected";
}

TEST_F(PipeConnection, NobodyConnectsOrTheRunEnds) {
  const std::wstring name = UniquePipeName(L"nobody");
  UniqueFile pipe = CreateRunPipe(name);
  EXPECT_EQ(WaitForCompanion(pipe.Get(), self.Get(), GetCurrentProcessId(), runEnded.Get(), 300),
            ConnectOutcome::NotConnected);
  // The run's end is an event the wait watches, whether it came before the wait or during it.
  SetEvent(runEnded.Get());
  EXPECT_EQ(WaitForCompanion(pipe.Get(), self.Get(), GetCurrentProcessId(), runEnded.Get(), kHangCeilingMs),
            ConnectOutcome::RunEnded);
}

}  // namespace
