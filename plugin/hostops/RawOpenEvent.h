// The event that opens a raw camera file through the host's raw converter: the bridge plays it to
// read a raw file for the companion, and the host check plays the same event to see how a host
// answers it. Main thread only, like every host call.
#pragma once

#include <string>

#include "HostObjectOwners.h"
#include "HostTypes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// Fills the open event: 'null' an alias of the file (made into alias, which must live until the
// play is over), 'As  ' the raw converter's settings (rawOptions, filled here) asking for depth
// (16, or 8 for anything else). 0, the host's status, or kPathNotText or kPathNotCarried.
int32_t FillRawOpenEvent(const std::string& windowsPath, int32_t depth, PIActionDescriptor event,
                         PIActionDescriptor rawOptions, HostHandleHolder& alias);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
