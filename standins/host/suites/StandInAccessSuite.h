// The stand-in host's SPAccessSuite table.
#pragma once

#include "AccessSuite.h"

namespace zk {

const SPAccessSuite* StandInAccessSuite();

}  // namespace zk
