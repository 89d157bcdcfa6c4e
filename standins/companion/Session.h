// Plays a scenario against the plug-in's pipe, on a worker thread, and records it in the transcript.
#pragma once

#include "HandleOwners.h"
#include "Scenario.h"
#include "Transcript.h"

#include <functional>
#include <string>

namespace zk {

class Session {
 public:
  // status is called with a short description of what the run is doing now.
  Session(const Scenario& scenario, std::wstring pipeName, Transcript& transcript,
          std::function<void(const std::wstring&)> status);

  // Runs every action; returns the process's exit code (ExitCodes.h). Does not return for
  // stay-until-killed or an endless never-connect.
  int Run();

 private:
  enum : int { kContinue = -1 };

  int Connect();
  int RunAction(const Action& action);
  int Write(const std::vector<std::uint8_t>& bytes);
  int ReadAndRecordReply();
  int PipeFailure(const std::string& what, DWORD error);
  void StayForever();

  const Scenario& scenario_;
  std::wstring pipeName_;
  Transcript& transcript_;
  std::function<void(const std::wstring&)> status_;
  UniqueFile pipe_;
};

}  // namespace zk
