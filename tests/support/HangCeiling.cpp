#include "HangCeiling.h"

#include <gtest/gtest.h>

#include <cstdio>

HangCeiling::HangCeiling(std::string whatDidNotHappen, DWORD ceilingMs, std::function<std::string()> details) {
  if (!ended_) return;  // no event to wait on: no watch, the step runs as it would without one
  watch_ = std::thread([this, what = std::move(whatDidNotHappen), ceilingMs, details = std::move(details)] {
    if (WaitForSingleObject(ended_.Get(), ceilingMs) != WAIT_TIMEOUT) return;
    ADD_FAILURE() << what << " within " << ceilingMs / 1000 << " s; the test program ends here"
                  << (details ? "\n" + details() : std::string());
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), kHangExitCode);
  });
}

HangCeiling::~HangCeiling() {
  if (!watch_.joinable()) return;
  SetEvent(ended_.Get());
  watch_.join();
}
