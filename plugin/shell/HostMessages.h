// How a module of ours answers the host's messages: every call records the host's session values,
// the about request shows the about box, and "Do It" runs the module's own action. Nothing escapes
// into the host: whatever is thrown ends as 'Parm'.
#pragma once

#include "HostTypes.h"

// The module's "Do It": its result goes to the host. It may throw; the host then gets 'Parm'.
using DoItAction = SPErr (*)(PSActionsPlugInMessage* message);

// The body of a module's AutoPluginMain. aboutTemplate is the about box in the module's resources.
SPErr AnswerHostMessage(const char* caller, const char* selector, void* message, int32_t aboutTemplate,
                        DoItAction doIt);
