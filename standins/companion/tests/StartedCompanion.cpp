#include "StartedCompanion.h"

#include <atomic>
#include <vector>

namespace zk::test {

namespace {

std::atomic<int> counter{0};

}  // namespace

std::wstring UniqueSuffix() {
  return L"ZkCompanionTest" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter) + L"_" +
         std::to_wstring(GetTickCount64());
}

TestFolder::TestFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  // A blank in the name, so the companion's path has one as the plug-in's default folder does.
  path_ = std::wstring(temp) + L"zk companion " + UniqueSuffix() + L"\\";
  CreateDirectoryW(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() {
  WIN32_FIND_DATAW found;
  const std::wstring pattern = path_ + L"*";
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((path_ + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

std::wstring TestFolder::WriteFile(const std::wstring& name, const std::string& content) const {
  const std::wstring path = path_ + name;
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  return path;
}

std::wstring CompanionExePath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"ZentrastKolvane.exe";
}

StartedCompanion::~StartedCompanion() {
  if (Running()) {
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 5000);
  }
}

bool StartedCompanion::Start(const std::wstring& exePath, const std::wstring& suffix, const std::wstring& scenarioPath,
                         const std::wstring& transcriptPath) {
  SetEnvironmentVariableW(L"ZK_COMPANION_SCENARIO", scenarioPath.empty() ? nullptr : scenarioPath.c_str());
  SetEnvironmentVariableW(L"ZK_COMPANION_TRANSCRIPT", transcriptPath.c_str());
  commandLine_ = exePath + L" -s  " + suffix;
  std::vector<wchar_t> line(commandLine_.begin(), commandLine_.end());
  line.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  UniqueHandle thread(info.hThread);
  process_.Reset(info.hProcess);
  processId_ = info.dwProcessId;
  return true;
}

bool StartedCompanion::WaitForExit(DWORD timeoutMs, DWORD& code) {
  if (WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_.Get(), &code) != FALSE;
}

bool StartedCompanion::Running() const {
  return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

void StartedCompanion::Terminate(UINT code) {
  TerminateProcess(process_.Get(), code);
  WaitForSingleObject(process_.Get(), 5000);
}

namespace {

struct WindowSearch {
  DWORD processId;
  const std::wstring* title;
  bool found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  if (*search->title == title) search->found = true;
  return !search->found;
}

}  // namespace

bool HasVisibleWindow(DWORD processId, const std::wstring& title) {
  WindowSearch search{processId, &title, false};
  EnumWindows(&CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace zk::test
