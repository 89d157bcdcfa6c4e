// A single-exit chain of host calls, one line per step: each step runs only while every earlier
// one succeeded; the first failing status ends the chain and is its result. The caller's owners
// release whatever the chain obtained, on the one way out.
//
//   HostCallChain chain;
//   chain.Log("Op: Get()\n")
//       .Then([&] { return sPSActionControl->Get(result.Address(), reference.Get()); })
//       .Then([&] { return GetInteger(result.Get(), keyWidth, &width); }, "Op: error keyWidth:%d\n");
//   return chain.Status();
#pragma once

#include <cstdint>

#include "PluginLog.h"

class HostCallChain {
 public:
  bool Going() const { return status == 0; }
  int32_t Status() const { return status; }

  // A host call (16-bit statuses are widened with their sign) or a helper's 32-bit status.
  template <class Call>
  HostCallChain& Then(Call call) {
    if (status == 0) status = int32_t(call());
    return *this;
  }
  // The same, and a failing status is logged: failureFormat takes it as its one %d.
  template <class Call>
  HostCallChain& Then(Call call, const char* failureFormat) {
    if (status != 0) return *this;
    status = int32_t(call());
    if (status != 0) LogAppend(failureFormat, status);
    return *this;
  }
  // A step that cannot fail.
  template <class Action>
  HostCallChain& Do(Action action) {
    if (status == 0) action();
    return *this;
  }
  HostCallChain& Log(const char* line) {
    if (status == 0) LogAppend("%s", line);
    return *this;
  }

 private:
  int32_t status = 0;
};
