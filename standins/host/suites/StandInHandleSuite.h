// The stand-in host's PSHandleSuite2 table.
#pragma once

#include "HandleSuite.h"

namespace zk {

const PSHandleSuite2* StandInHandleSuite();

}  // namespace zk
