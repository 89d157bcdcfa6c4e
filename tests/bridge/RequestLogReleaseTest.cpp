// A request's log is let go before its reply is: the companion, which reads, moves or deletes the
// log between requests, has its reply only once the module no longer holds the file.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "BridgeRun.h"
#include "FailingAllocations.h"
#include "ImportReplacement.h"
#include "InProcessHost.h"
#include "ListenerThread.h"
#include "PluginLog.h"
#include "RequestServing.h"

namespace {

// What the test saw at each release of a reply to the listener, on the serving thread, before the
// release took effect.
struct Releases {
  std::wstring logPath;
  int count = 0;
  bool logFree = true;
  DWORD refusal = 0;  // the error of a log that could not be had alone
};
Releases* releases = nullptr;

using SetEventProc = BOOL(WINAPI*)(HANDLE);
SetEventProc systemSetEvent = nullptr;

// The module releases the listener by setting the run's RequestServed: at that moment nobody may
// hold the log, which a program that wants it alone (a log cleaner, the companion moving it) shows.
BOOL WINAPI SetEventSeeingTheLog(HANDLE event) {
  if (releases != nullptr && event == BridgeRun.RequestServed.Get()) {
    ++releases->count;
    const HANDLE alone = CreateFileW(releases->logPath.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (alone == INVALID_HANDLE_VALUE) {
      releases->logFree = false;
      releases->refusal = GetLastError();
    } else {
      CloseHandle(alone);
    }
  }
  return systemSetEvent(event);
}

std::string FileText(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(RequestServing, TheRequestsLogIsFreeWhenItsReplyIsReleased) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring logPath =
      std::wstring(temp) + L"zk-log-at-release-" + std::to_wstring(GetCurrentProcessId()) + L".log";
  // The log of this module's life, decided here: no other program writes it meanwhile.
  const auto savedLogPath = LogFilePath;
  LogFilePath.assign(logPath.begin(), logPath.end());
  ResetTestHost();
  // Enough documents that their list outgrows any allocation the log makes for its path: the
  // failing case below fails there, after the request has logged, whatever the log allocates.
  constexpr int kDocuments = 1000;
  for (int i = 0; i < kDocuments; ++i) {
    const std::string name = "d" + std::to_string(i) + ".psd";
    TestDocuments().Open(zk::HostDocument{name, "C:\\" + name, 10, 20});
  }

  const ImportReplacement hook("kernel32.dll", "SetEvent", reinterpret_cast<void*>(&SetEventSeeingTheLog));
  ASSERT_TRUE(hook.Installed()) << "the program does not call SetEvent through its import table";
  systemSetEvent = reinterpret_cast<SetEventProc>(hook.Original());

  const struct {
    const char* name;
    size_t failingFromBytes;  // allocations this large fail on the serving thread (0: none fails)
    bool answered;            // false: the dispatch failed and its error was replied
  } cases[] = {
      {"an answered request", 0, true},
      {"a request whose dispatch failed after it had logged", 32 * 1024, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(logPath.c_str());
    BeginBridgeRun();
    ASSERT_TRUE(BridgeRun.RequestServed.Valid());
    RequestFields = {"GetOpenDocuments"};
    ListenerError.clear();
    Releases seen{logPath};
    releases = &seen;
    {
      const FailingAllocations noMemory(c.failingFromBytes, c.failingFromBytes != 0 ? INT_MAX : 0);
      ServeRequest();
    }
    releases = nullptr;
    EXPECT_EQ(WaitForSingleObject(BridgeRun.RequestServed.Get(), 0), WAIT_OBJECT_0) << "the listener is released";
    EndBridgeRun();

    ASSERT_FALSE(ReplyFields.Fields().empty());
    EXPECT_EQ(ReplyFields.Fields()[0] != "Error", c.answered) << ReplyFields.Fields()[0];
    // The request opened the log: its first entry is there.
    EXPECT_EQ(FileText(logPath).rfind("In AutomationUtils::GetOpenDocuments()\r\n", 0), 0u) << FileText(logPath);
    EXPECT_EQ(seen.count, 1) << "one release per request";
    EXPECT_TRUE(seen.logFree) << "the log was still held when the reply was released (error " << seen.refusal << ")";
  }
  ReplyFields.Clear();
  DeleteFileW(logPath.c_str());
  LogFilePath = savedLogPath;
  ResetTestHost();
}

}  // namespace
