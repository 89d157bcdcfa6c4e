#include "BridgeRunHarness.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "HangCeiling.h"
#include "TestPaths.h"
#include "WindowsOwners.h"

namespace {

// The dialogs created on the calling thread while a hook is in place. A dialog that closes by
// itself within milliseconds may come and go between two looks of the robot; the hook sees every one.
thread_local std::vector<std::wstring>* createdDialogs = nullptr;

LRESULT CALLBACK RecordCreatedDialog(int code, WPARAM window, LPARAM parameter) {
  if (code == HCBT_CREATEWND && createdDialogs != nullptr) {
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(parameter)->lpcs;
    const bool dialogClass = IS_INTRESOURCE(create->lpszClass) && LOWORD(create->lpszClass) == 32770;
    if (dialogClass) createdDialogs->push_back(IS_INTRESOURCE(create->lpszName) ? L"" : create->lpszName);
  }
  return CallNextHookEx(nullptr, code, window, parameter);
}

// Reads a text file from a byte offset on; all of it when it has become shorter (a test removed it).
std::string ReadFrom(const std::wstring& path, uint64_t offset) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  const std::string text = content.str();
  return offset <= text.size() ? text.substr(size_t(offset)) : text;
}

uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

uint64_t Ticks(const FILETIME& time) { return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

// The companion's last lines when it goes on running on purpose after the run.
bool StaysOnPurpose(const std::string& key, const std::string& value) {
  return key == "stay-until-killed" || key == "hang" ||
         (key == "never-connect" && value == "until the process is ended");
}

// A ceiling for a hang: a companion that still writes its last lines ends within milliseconds.
constexpr DWORD kCompanionEndCeilingMs = 30000;

struct DialogCreationHook {
  explicit DialogCreationHook(std::vector<std::wstring>* into)
      : hook(SetWindowsHookExW(WH_CBT, RecordCreatedDialog, nullptr, GetCurrentThreadId())) {
    createdDialogs = into;
  }
  ~DialogCreationHook() {
    createdDialogs = nullptr;
    if (hook != nullptr) UnhookWindowsHookEx(hook);
  }
  HHOOK hook;
};

}  // namespace

BridgeRunHarness::BridgeRunHarness() {
  transcriptPath = install.Scratch() + L"\\transcript.txt";
  scenarioPath = install.Scratch() + L"\\scenario.txt";
  SetEnvironmentVariableW(L"ZK_COMPANION_TRANSCRIPT", transcriptPath.c_str());
  SetEnvironmentVariableW(L"ZK_COMPANION_SCENARIO", nullptr);
  documents.AttachTo(host);
  host.Scan(PluginsFolder());
  std::string error;
  if (const zk::PluginRecord* plugin = host.FindPlugin("Zentrast Kolvane...")) host.Load(*plugin, &error);
}

BridgeRunHarness::~BridgeRunHarness() {
  SetEnvironmentVariableW(L"ZK_COMPANION_TRANSCRIPT", nullptr);
  SetEnvironmentVariableW(L"ZK_COMPANION_SCENARIO", nullptr);
}

std::wstring BridgeRunHarness::CompanionProgram() const { return TestProgramFolder() + L"\\ZentrastKolvane.exe"; }

std::wstring BridgeRunHarness::InstallRemembered(const std::wstring& folderName) {
  const std::wstring folder = install.MakeFolder(folderName, CompanionProgram());
  install.SetPath(Utf8(folder) + '\0');
  return folder;
}

void BridgeRunHarness::SetScenario(const std::string& text) {
  std::ofstream(std::filesystem::path(scenarioPath), std::ios::binary) << text;
  SetEnvironmentVariableW(L"ZK_COMPANION_SCENARIO", scenarioPath.c_str());
}

SPErr BridgeRunHarness::DoIt(std::vector<std::string> answers, std::string whenExhausted) {
  zk::ModalRobot robot(std::move(answers), std::move(whenExhausted));
  // Every window goes to the test's output too: a failing run then shows what the user saw.
  robot.SetPrinter([this](const zk::SeenDialog& dialog) {
    // Put together here, in UTF-8: the C runtime's wide formatting is not safe under every Wine the
    // tests run in (the ARM64 one cannot format wide text).
    const std::string line = "window: \"" + Utf8(dialog.caption) + "\" " +
                             (dialog.texts.empty() ? std::string() : Utf8(dialog.texts.back())) + " (answer " +
                             dialog.answer + ")\n";
    std::fputs(line.c_str(), stderr);
    if (onWindow) onWindow(dialog);
  });
  created.clear();
  const DialogCreationHook hook(&created);
  {
    const std::lock_guard<std::mutex> lock(settling);
    runOver = false;
    settled = false;
    transcriptSizeAtRun = FileSize(transcriptPath);
    GetSystemTimeAsFileTime(&runStartedAt);
  }
  const ULONGLONG started = GetTickCount64();
  SPErr result = 0;
  {
    const HangCeiling ceiling("the bridge run did not end", runCeilingMs, [this, &robot] { return RunState(robot); });
    result = host.DoIt();
  }
  elapsedMs = DWORD(GetTickCount64() - started);
  seen = robot.Seen();
  runOver = true;
  return result;
}

std::string BridgeRunHarness::RunState(const zk::ModalRobot& robot) const {
  std::string state = "windows seen:";
  for (const zk::SeenDialog& dialog : robot.Seen()) {
    state += " \"" + Utf8(dialog.caption) + "\" (" + dialog.answer + (IsWindow(dialog.window) ? ", still up)" : ")");
  }
  state += "\nthe companion's transcript of this run:\n" + ReadFrom(transcriptPath, transcriptSizeAtRun);
  return state;
}

void BridgeRunHarness::WaitForCompanionToFinish() const {
  // This run's lines: the last start line names its companion, the last line says what it does.
  std::istringstream lines(ReadFrom(transcriptPath, transcriptSizeAtRun));
  std::string key, value;
  DWORD processId = 0;
  for (std::string text; std::getline(lines, text);) {
    const size_t colon = text.find(": ");
    key = text.substr(0, colon);
    value = colon == std::string::npos ? "" : text.substr(colon + 2);
    if (key == "start") processId = DWORD(std::strtoul(value.substr(value.rfind(' ') + 1).c_str(), nullptr, 10));
  }
  if (processId == 0 || StaysOnPurpose(key, value)) return;
  const UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return;  // gone: everything it wrote is in the file
  // Process ids come back quickly under Wine: one made before the run is somebody else.
  FILETIME createdAt{}, exitedAt{}, kernel{}, user{};
  constexpr uint64_t kSecond = 10000000;
  if (!GetProcessTimes(process.Get(), &createdAt, &exitedAt, &kernel, &user) ||
      Ticks(createdAt) + kSecond < Ticks(runStartedAt)) {
    return;
  }
  if (WaitForSingleObject(process.Get(), kCompanionEndCeilingMs) == WAIT_TIMEOUT) {
    ADD_FAILURE() << "the run's companion (process " << processId << ") had not ended "
                  << kCompanionEndCeilingMs / 1000 << " s after the run: its transcript may be incomplete";
  }
}

std::vector<std::wstring> BridgeRunHarness::Messages() const {
  std::vector<std::wstring> messages;
  for (const zk::SeenDialog& dialog : seen) {
    if (dialog.caption == L"Dialog") continue;  // the status dialog itself
    messages.push_back(dialog.caption + L" | " + (dialog.texts.empty() ? L"" : dialog.texts.back()));
  }
  return messages;
}

TranscriptLines BridgeRunHarness::Transcript() const {
  if (runOver) {
    const std::lock_guard<std::mutex> lock(settling);
    if (!settled) WaitForCompanionToFinish();
    settled = true;
  }
  TranscriptLines lines;
  std::ifstream file(std::filesystem::path(transcriptPath), std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    const size_t colon = line.find(": ");
    if (colon == std::string::npos) {
      lines.emplace_back(line.substr(0, line.find(':')), "");
    } else {
      lines.emplace_back(line.substr(0, colon), line.substr(colon + 2));
    }
  }
  return lines;
}

std::vector<std::string> BridgeRunHarness::Values(const std::string& key) const {
  std::vector<std::string> values;
  for (const auto& [name, value] : Transcript()) {
    if (name == key) values.push_back(value);
  }
  return values;
}

DWORD BridgeRunHarness::CompanionProcessId() const {
  const std::vector<std::string> starts = Values("start");
  if (starts.empty()) return 0;
  const size_t at = starts.back().rfind(' ');
  return DWORD(std::stoul(starts.back().substr(at + 1)));
}

size_t ThreadCount() {
  const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return 0;
  size_t count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  return count;
}

std::wstring StatusText(HWND dialog) {
  wchar_t text[512] = {};
  GetDlgItemTextW(dialog, 100, text, 512);
  return text;
}

std::string Quoted(const std::string& utf8) {
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}
