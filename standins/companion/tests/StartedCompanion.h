// Starting the stand-in companion the way the plug-in does: CreateProcessW with no application name and
// the line "<path> -s  <suffix>" (path unquoted, two blanks), the scenario and transcript named by
// environment variables of this process, which the child inherits.
#pragma once

#include "WindowsOwners.h"

#include <windows.h>

#include <string>

namespace zk::test {

// A fresh folder under TEMP for one test; removed with what the test wrote into it.
class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::wstring& Path() const { return path_; }  // ends with a backslash
  // Writes content (bytes as they are) to a file of the folder; returns its full path.
  std::wstring WriteFile(const std::wstring& name, const std::string& content) const;

 private:
  std::wstring path_;
};

// A pipe name suffix no other test (in this or another process) uses.
std::wstring UniqueSuffix();

// The companion program built beside this test program.
std::wstring CompanionExePath();

class StartedCompanion {
 public:
  ~StartedCompanion();  // ends the companion if it still runs

  // An empty scenarioPath leaves ZK_COMPANION_SCENARIO unset (the default session).
  bool Start(const std::wstring& exePath, const std::wstring& suffix, const std::wstring& scenarioPath,
             const std::wstring& transcriptPath);
  // True when it ended in time; code is its exit code.
  bool WaitForExit(DWORD timeoutMs, DWORD& code);
  bool Running() const;
  void Terminate(UINT code);
  DWORD ProcessId() const { return processId_; }
  const std::wstring& CommandLine() const { return commandLine_; }

 private:
  UniqueHandle process_;
  DWORD processId_ = 0;
  std::wstring commandLine_;
};

// True when a visible top-level window of the process with this title exists now.
bool HasVisibleWindow(DWORD processId, const std::wstring& title);

}  // namespace zk::test
