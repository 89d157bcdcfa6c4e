// A ceiling for a step that blocks the test's own thread and has no time limit of its own: a modal
// run in the host returns only when the module ends it. When the step has not ended within the
// ceiling, the test fails with a message that names what did not happen, and the test program ends
// there (nothing else can free the blocked thread): a hang fails at this ceiling, never by ctest's
// time-out.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "WindowsOwners.h"

// The exit code of a test program ended at a ceiling.
constexpr UINT kHangExitCode = 124;

class HangCeiling {
 public:
  // details, called on the watching thread at the ceiling, adds what the test knows of the state.
  HangCeiling(std::string whatDidNotHappen, DWORD ceilingMs, std::function<std::string()> details = nullptr);
  ~HangCeiling();  // the step has ended in time
  HangCeiling(const HangCeiling&) = delete;
  HangCeiling& operator=(const HangCeiling&) = delete;

 private:
  UniqueHandle ended_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::thread watch_;
};
