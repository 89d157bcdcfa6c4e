#include "RequestServing.h"

#include "BridgeRun.h"
#include "ListenerThread.h"

RequestOutcome ServeRequest() {
  RequestOutcome outcome = RequestOutcome::Answered;
  try {
    outcome = DispatchRequest(RequestFields, ReplyFields);
  } catch (...) {
    ReplyFields.Clear();
    ReplyError(ReplyFields, "Error processing ZKV request: " + ListenerError);
  }
  SetEvent(BridgeRun.RequestServed.Get());
  return outcome;
}
