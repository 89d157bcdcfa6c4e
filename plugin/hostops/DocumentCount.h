// How many documents the host has open: the application's 'NmbD'. Main thread only, like every
// host call.
#pragma once

#include <cstdint>

namespace ZentrastMisc {
namespace AutomationUtils {

// The host's status; count is 0 unless it was read.
int32_t OpenDocumentCount(int32_t* count);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
