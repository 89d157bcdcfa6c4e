// Understands the companion's requests and builds each answer. Runs on the host's main thread,
// inside the status dialog, while the listener waits for the reply.
#pragma once

#include "FieldLists.h"

// What the caller has to do besides sending the reply.
enum class RequestOutcome {
  Answered,
  CompanionRunning,  // "Running": the status window now tells the user to work in the companion
};

// Empties the reply, then runs the handler of the request's command.
RequestOutcome DispatchRequest(const FieldList& request, ReplyFieldList& reply);
