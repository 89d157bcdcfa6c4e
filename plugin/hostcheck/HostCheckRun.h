// One "Do It" of the host check: asks the host each open question, writes the report and tells the
// person where it is. Main thread only, as every host call.
#pragma once

#include "HostTypes.h"

// Always 0: what went wrong is in the report, or in the message at the end.
SPErr RunHostCheck(PSActionsPlugInMessage* message);
