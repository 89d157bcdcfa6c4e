// The start of every suite procedure. Suite procedures are plain C function pointers without a
// context argument, so they work for the one current StandInHost of the process.
#pragma once

#include "HostTypes.h"

namespace zk {

class StandInHost;
class HostObjectTable;

struct SuiteCall {
  StandInHost* host = nullptr;
  int32_t status = 0;  // non-zero: answer this (no current host, or an injected fault)
  HostObjectTable& Objects() const;

  // The time from EnterProcedure to the end of the procedure goes to the host's bookkeeping.
  SuiteCall() = default;
  SuiteCall(SuiteCall&& other) noexcept;
  SuiteCall& operator=(SuiteCall&&) = delete;
  ~SuiteCall();
  int64_t started = 0;  // 0: not timed (a nested call, or one moved from)
};

// Counts "suite.procedure" on the current host and looks up an injected fault for it.
SuiteCall EnterProcedure(const char* suite, const char* procedure);

}  // namespace zk
