// Serving one request on the host's main thread: the listener has read it into RequestFields and
// waits; this builds exactly one reply in ReplyFields, whatever happens inside, and hands it back.
#pragma once

#include "RequestDispatcher.h"

// Dispatches the request; anything thrown inside (a missing host suite raises a bare status, not a
// standard exception) becomes an error reply, or, when not even that can be built, a withdrawn
// reply that ends the connection. Then sets the run's RequestServed.
RequestOutcome ServeRequest() noexcept;
