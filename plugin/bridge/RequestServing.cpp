#include "RequestServing.h"

#include "BridgeRun.h"
#include "ListenerThread.h"

RequestOutcome ServeRequest() noexcept {
  RequestOutcome outcome = RequestOutcome::Answered;
  try {
    outcome = DispatchRequest(RequestFields, ReplyFields);
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
