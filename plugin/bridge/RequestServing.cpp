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
      ReplyFields.Withdraw();  // not even the error's text could be made
    }
  }
  // Whatever happened, the listener is released: it sends the reply, or ends the connection when
  // none could be built, and never waits for one that never comes.
  SetEvent(BridgeRun.RequestServed.Get());
  return outcome;
}
