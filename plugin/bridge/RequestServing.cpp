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
      // Not even the error's text could be made: the end marker alone, which is no "OK" either.
      ReplyFields.Clear();
    }
  }
  // Whatever happened, the listener gets its one reply and never waits for one that never comes.
  SetEvent(BridgeRun.RequestServed.Get());
  return outcome;
}
