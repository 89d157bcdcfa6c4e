// The stand-in host's ASZStringSuite table.
#pragma once

#include "ZStringSuite.h"

namespace zk {

const ASZStringSuite* StandInZStringSuite();

}  // namespace zk
