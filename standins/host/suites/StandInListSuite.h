// The stand-in host's PSActionListProcs table.
#pragma once

#include "ActionListSuite.h"

namespace zk {

const PSActionListProcs* StandInListSuite();

}  // namespace zk
