#include "RequestServing.h"

#include "BridgeRun.h"
#include "ListenerThread.h"
#include "PluginLog.h"

namespace {

// Whatever the request's host operations log goes through one opening of the log, closed again
// before the reply goes: the file is never held between requests.
RequestOutcome DispatchInOneLogSession() {
  const LogSession requestLog;
  return DispatchRequest(RequestFields, ReplyFields);
}

}  // namespace

RequestOutcome ServeRequest() noexcept {
  RequestOutcome outcome = RequestOutcome::Answered;
  try {
    outcome = DispatchInOneLogSession();
  } catch (...) {
    ReplyFields.Clear();
    try {
      ReplyError(ReplyFields, "Error processing ZKV request: " + ListenerError);
    } catch (...) {
      // Not even the error's text could be made: the end marker alone, which is no "OK" either.
      ReplyFields.Clear();
    }
  }
  // Whatever happened, the listener gets its one reply and never waits for one that never comes.
  SetEvent(BridgeRun.RequestServed.Get());
  return outcome;
}
