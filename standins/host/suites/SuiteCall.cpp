#include "SuiteCall.h"

#include "HostStatus.h"
#include "StandInHost.h"

#include <string>

#include <windows.h>

namespace zk {

HostObjectTable& SuiteCall::Objects() const { return host->Objects(); }

namespace {

// Suite procedures of the stand-ins may call others; only the outermost one is timed. Plug-ins
// call the suites on the host's main thread.
int procedureDepth = 0;

int64_t Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

}  // namespace

SuiteCall::SuiteCall(SuiteCall&& other) noexcept : host(other.host), status(other.status), started(other.started) {
  other.started = 0;
}

SuiteCall::~SuiteCall() {
  if (started == 0) return;
  --procedureDepth;
  if (host) host->Book().AddProcedureCall(started, Ticks());
}

SuiteCall EnterProcedure(const char* suite, const char* procedure) {
  SuiteCall call;
  if (procedureDepth++ == 0) {
    call.started = Ticks();
  } else {
    --procedureDepth;
  }
  call.host = StandInHost::Current();
  if (!call.host) {
    call.status = kStandInNoCurrentHost;
    return call;
  }
  call.status = call.host->Book().EnterProcedure((std::string(suite) + "." + procedure).c_str());
  return call;
}

}  // namespace zk
