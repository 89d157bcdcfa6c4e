// The stand-in host's PSActionControlProcs table.
#pragma once

#include "ActionControlSuite.h"

namespace zk {

const PSActionControlProcs* StandInControlSuite();

}  // namespace zk
