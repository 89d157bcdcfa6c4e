// The stand-in companion program: started by the plug-in as
//   <folder>\ZentrastKolvane.exe -s  <pipe name suffix>
// it shows its window, connects to the plug-in's pipe and plays a scenario (ZK_COMPANION_SCENARIO,
// or the default session), recording everything in a transcript (ZK_COMPANION_TRANSCRIPT).
#include "CommandLine.h"
#include "ExitCodes.h"
#include "WindowsOwners.h"
#include "QuotedText.h"
#include "Scenario.h"
#include "Session.h"
#include "StatusWindow.h"
#include "Transcript.h"
#include "Utf8.h"

#include <windows.h>

#include <optional>
#include <string>

namespace {

using namespace zk;

std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  value.resize(length);
  if (value.empty()) return std::nullopt;
  return value;
}

std::wstring TranscriptPath() {
  if (auto path = EnvironmentValue(L"ZK_COMPANION_TRANSCRIPT")) return *path;
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder, length <= MAX_PATH ? length : 0) + L"ZentrastKolvane-transcript.txt";
}

// Reads the whole file; on failure returns false with the system's error code in error.
bool ReadWholeFile(const std::wstring& path, std::string& content, DWORD& error) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    error = GetLastError();
    return false;
  }
  content.clear();
  char buffer[4096];
  while (true) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
      error = GetLastError();
      return false;
    }
    if (got == 0) return true;
    content.append(buffer, got);
  }
}

void WriteToStandardError(const std::string& text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Loads the scenario named by ZK_COMPANION_SCENARIO, or the default session. Writes the reason and
// returns nothing when the file cannot be used.
std::optional<Scenario> LoadScenario(Transcript& transcript) {
  const auto path = EnvironmentValue(L"ZK_COMPANION_SCENARIO");
  if (!path) {
    transcript.Line("scenario", "default");
    return DefaultScenario();
  }
  const std::string quotedPath = QuoteText(*path);
  transcript.Line("scenario", quotedPath);
  std::string content;
  DWORD error = 0;
  std::string problem;
  ScenarioParse parse;
  if (!ReadWholeFile(*path, content, error)) {
    problem = quotedPath + ": cannot be read: " + DescribeError(error);
  } else {
    parse = ParseScenario(content);
    if (!parse.ok) {
      problem = quotedPath + (parse.errorLine != 0 ? " line " + std::to_string(parse.errorLine) : std::string()) +
                ": " + parse.error;
    }
  }
  if (!problem.empty()) {
    transcript.Line("scenario-error", problem);
    WriteToStandardError("ZentrastKolvane stand-in: scenario-error: " + problem + "\n");
    return std::nullopt;
  }
  return std::move(parse.scenario);
}

struct Worker {
  Session* session;
  int exitCode;
};

DWORD WINAPI RunWorker(void* parameter) {
  auto* worker = static_cast<Worker*>(parameter);
  worker->exitCode = worker->session->Run();
  return 0;
}

int Finish(Transcript& transcript, int code) {
  transcript.Line("exit", std::to_string(code));
  return code;
}

// Pumps the window's messages until the worker ends (its exit code) or the window is closed.
int PumpUntilDone(HANDLE thread, const Worker& worker, Transcript& transcript) {
  while (true) {
    const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) return Finish(transcript, worker.exitCode);
    if (wait != WAIT_OBJECT_0 + 1) {
      transcript.Line("error", "waiting for the session failed: " + DescribeError(GetLastError()));
      return Finish(transcript, kExitInternal);
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      // The worker may be blocked on the pipe; the process ending closes the pipe for it.
      if (message.message == WM_QUIT) return Finish(transcript, kExitWindowClosed);
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

int RunCompanion(HINSTANCE instance) {
  Transcript transcript;
  const std::wstring transcriptPath = TranscriptPath();
  const bool transcriptOpen = transcript.Open(transcriptPath);
  const DWORD openError = GetLastError();
  transcript.Line("start", "ZentrastKolvane stand-in, process " + std::to_string(GetCurrentProcessId()));
  if (!transcriptOpen) {
    transcript.Line("error", "cannot open the transcript " + QuoteText(transcriptPath) + ": " + DescribeError(openError));
  }
  const std::wstring commandLine = GetCommandLineW();
  transcript.Line("command-line", QuoteText(commandLine));
  const std::wstring suffix = PipeSuffixFromCommandLine(commandLine);
  if (suffix.empty()) {
    transcript.Line("error", "no pipe name suffix after \" -s \" on the command line");
    WriteToStandardError("usage: ZentrastKolvane.exe -s  <pipe name suffix>\n");
    return Finish(transcript, kExitBadCommandLine);
  }
  transcript.Line("pipe-suffix", QuoteText(suffix));

  const std::optional<Scenario> scenario = LoadScenario(transcript);
  if (!scenario) return Finish(transcript, kExitBadScenario);

  StatusWindow window(transcript);
  if (!window.Create(instance, scenario->window, scenario->windowDelayMs)) {
    transcript.Line("error", "cannot create the window: " + DescribeError(GetLastError()));
  }
  Session session(*scenario, L"\\\\.\\pipe\\" + suffix, transcript,
                  [&window](const std::wstring& text) { window.SetStatus(text); });
  Worker worker{&session, kExitInternal};
  UniqueHandle thread(CreateThread(nullptr, 0, &RunWorker, &worker, 0, nullptr));
  if (!thread) {
    transcript.Line("error", "cannot start the session thread: " + DescribeError(GetLastError()));
    return Finish(transcript, kExitInternal);
  }
  const int code = PumpUntilDone(thread.Get(), worker, transcript);
  if (code == kExitWindowClosed) {
    // The session may still be blocked on the pipe and uses objects of this frame: end here.
    ExitProcess(static_cast<UINT>(code));
  }
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunCompanion(instance); }
