// Plays a scenario against the plug-in's pipe, on a worker thread, and records it in the transcript.
#pragma once

#include "WindowsOwners.h"
#include "ImageStatements.h"
#include "ReplyReader.h"
#include "Scenario.h"
#include "Transcript.h"

#include <functional>
#include <optional>
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
  // Empty: go on with the next action; otherwise the run ends with this exit code.
  using Outcome = std::optional<int>;

  Outcome Connect();
  Outcome RunAction(const Action& action);
  Outcome Write(const std::vector<std::uint8_t>& bytes);
  // Sends the fields as one message and reads the reply, recording both; reply keeps what was read.
  Outcome Exchange(const std::vector<std::wstring>& fields, Reply* reply);
  Outcome ReadAndRecordReply(Reply* kept = nullptr);
  Outcome WaitForWholeReply();
  Outcome PipeFailure(const std::string& what, DWORD error);
  Outcome RunRandom(const Action& action);
  void StayForever();

  const Scenario& scenario_;
  std::wstring pipeName_;
  Transcript& transcript_;
  std::function<void(const std::wstring&)> status_;
  UniqueFile pipe_;
  ImageStatements images_;
};

}  // namespace zk
