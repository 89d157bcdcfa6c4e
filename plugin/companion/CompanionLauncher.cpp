#include "CompanionLauncher.h"

#include <vector>

#include "BridgeRun.h"
#include "CompanionLocator.h"
#include "InnerText.h"
#include "ResourceIds.h"
#include "StringLoader.h"

namespace {

// The host normally has no console; nothing depends on this line.
void WriteConsoleLine(const std::wstring& text) {
  const std::string bytes = WideToInnerText(text) + "\n";
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (output != nullptr && output != INVALID_HANDLE_VALUE) {
    // No flush: a raw write has no buffer, and on a pipe a flush waits until the reader has read
    // everything, which would hang the host's main thread behind a slow reader.
    WriteFile(output, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  }
}

}  // namespace

std::wstring BuildCompanionCommandLine(const std::wstring& executable, const std::wstring& pipeNameSuffix) {
  return executable + L" -s  " + pipeNameSuffix;
}

std::wstring StartFailureMessage(DWORD error) {
  wchar_t text[1024] = {};
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0x400, text, 1024, nullptr);
  const std::wstring reason = length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(error);
  return L"Can't start Zentrast Kolvane: " + reason;
}

void LaunchCompanion(HWND statusDialog) {
  const std::wstring processId = std::to_wstring(GetCurrentProcessId());
  std::wstring folder = FindCompanionFolder();
  if (folder.empty()) folder = BrowseForCompanionFolder(statusDialog);
  if (folder.empty()) {
    EndDialog(statusDialog, 0);
    MessageBoxW(statusDialog, LoadModuleStringW(IDS_NOT_FOUND_TEXT).c_str(),
                LoadModuleStringW(IDS_NOT_FOUND_CAPTION).c_str(), MB_OK);
    return;
  }

  const std::wstring executable = folder + L"\\" + CompanionExeName;
  WriteConsoleLine(L"Starting " + executable);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  const std::wstring pipeNameSuffix = PipeNamePrefix + processId;
  const std::wstring commandLine = BuildCompanionCommandLine(executable, pipeNameSuffix);
  std::vector<wchar_t> writableCommandLine(commandLine.begin(), commandLine.end());
  writableCommandLine.push_back(L'\0');
  PROCESS_INFORMATION started{};
  // No application name: the system resolves the unquoted path by its rules for command lines.
  if (!CreateProcessW(nullptr, writableCommandLine.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                      nullptr, &startup, &started)) {
    const std::wstring message = StartFailureMessage(GetLastError());
    EndDialog(statusDialog, 0);
    MessageBoxW(nullptr, message.c_str(), LoadModuleStringW(IDS_START_FAILED_CAPTION).c_str(), MB_OK);
    return;
  }
  const UniqueHandle mainThread(started.hThread);
  BridgeRun.companionProcess.Reset(started.hProcess);
  BridgeRun.CompanionProcessId = started.dwProcessId;
  BridgeRun.pipeNameSuffix = pipeNameSuffix;

  if (!StartRunListener(statusDialog)) {
    EndDialog(statusDialog, 0);
    MessageBoxA(nullptr, "Error starting Zentrast Listening Thread", "Problem Starting Zentrast", MB_OK);
  }
}
