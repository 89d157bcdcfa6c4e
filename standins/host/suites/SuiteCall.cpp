#include "SuiteCall.h"

#include "HostStatus.h"
#include "StandInHost.h"

#include <string>

namespace zk {

HostObjectTable& SuiteCall::Objects() const { return host->Objects(); }

SuiteCall EnterProcedure(const char* suite, const char* procedure) {
  SuiteCall call;
  call.host = StandInHost::Current();
  if (!call.host) {
    call.status = kStandInNoCurrentHost;
    return call;
  }
  call.status = call.host->Book().EnterProcedure((std::string(suite) + "." + procedure).c_str());
  return call;
}

}  // namespace zk
