// One bridge run as a user starts it: the stand-in host loads the module from the plug-ins
// folder, the stand-in companion is installed where the module looks for it, plays a scenario,
// and writes a transcript; the modal robot answers every window the run shows.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "CompanionInstall.h"
#include "DocumentModel.h"
#include "ImageEvents.h"
#include "ModalRobot.h"
#include "StandInHost.h"

using TranscriptLines = std::vector<std::pair<std::string, std::string>>;

// A ceiling for a hang of one whole run: a run here lasts seconds, the longest waits out the
// module's 30 s connection wait.
constexpr DWORD kRunCeilingMs = 90000;

class BridgeRunHarness {
 public:
  BridgeRunHarness();
  ~BridgeRunHarness();

  zk::StandInHost& Host() { return host; }
  zk::DocumentModel& Documents() { return documents; }  // open in the host for the run
  // The events the module plays on them: the raw converter's open, export, import, select, close.
  zk::ImageEvents& Events() { return events; }
  CompanionInstall& Install() { return install; }
  std::wstring CompanionProgram() const;  // the built stand-in companion

  // Installs the companion in a scratch folder and remembers that folder in the registry.
  std::wstring InstallRemembered(const std::wstring& folderName = L"Zentrast Apps");
  // The scenario the companion plays (UTF-8 text); without one it plays its default session.
  void SetScenario(const std::string& text);

  // Sends "Do It" with a robot that gives the answers in order ("leave" lets the test act).
  // By default every window gets OK: message boxes close, the status dialog ignores it. A run still
  // going at its ceiling (kRunCeilingMs unless set) fails the test and ends the test program (see
  // HangCeiling.h).
  SPErr DoIt(std::vector<std::string> answers = {}, std::string whenExhausted = "ok");
  // A longer ceiling than kRunCeilingMs for the runs that follow, for a run that moves gigabytes.
  void SetRunCeiling(DWORD ms) { runCeilingMs = ms; }
  // What the robot saw and answered. A window that closes by itself may be missing here.
  const std::vector<zk::SeenDialog>& Seen() const { return seen; }
  // The caption of every dialog the run created on this thread, in order, however briefly it stood.
  const std::vector<std::wstring>& Created() const { return created; }
  // The windows after the status dialog: message boxes and file dialogs, as "caption | text".
  std::vector<std::wstring> Messages() const;
  DWORD ElapsedMs() const { return elapsedMs; }

  // The transcript as the companion wrote it. Once "Do It" has returned, the first read waits until
  // the run's companion has ended (it may still be writing its last lines when the run is over),
  // unless its last line says it stays on purpose (never-connect, stay-until-killed, hang). During
  // the run it reads what is there.
  TranscriptLines Transcript() const;
  std::vector<std::string> Values(const std::string& key) const;  // in order
  DWORD CompanionProcessId() const;                               // from the transcript's start line

  // Called on the robot thread for each new window, after the robot has given its answer.
  void OnWindow(std::function<void(const zk::SeenDialog&)> action) { onWindow = std::move(action); }

 private:
  CompanionInstall install;
  zk::StandInHost host;
  zk::DocumentModel documents;
  zk::ImageEvents events{host, documents};
  std::wstring transcriptPath;
  std::wstring scenarioPath;
  std::vector<zk::SeenDialog> seen;
  std::vector<std::wstring> created;
  std::function<void(const zk::SeenDialog&)> onWindow;
  DWORD elapsedMs = 0;
  DWORD runCeilingMs = kRunCeilingMs;

  void WaitForCompanionToFinish() const;
  std::string RunState(const zk::ModalRobot& robot) const;  // what a run that hangs has come to
  uint64_t transcriptSizeAtRun = 0;  // where this run's lines begin
  FILETIME runStartedAt{};           // a companion created before it is not this run's
  std::atomic<bool> runOver{false};
  mutable std::mutex settling;
  mutable bool settled = false;
};

// Counts this process's threads (for checks that a run leaves none behind).
size_t ThreadCount();
// Reads the status dialog's text control.
std::wstring StatusText(HWND dialog);
// Quoted and escaped as the companion's transcript writes texts.
std::string Quoted(const std::string& utf8);
