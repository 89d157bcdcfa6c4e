// The stand-in host's PSActionDescriptorProcs table.
#pragma once

#include "ActionDescriptorSuite.h"

namespace zk {

const PSActionDescriptorProcs* StandInDescriptorSuite();

}  // namespace zk
