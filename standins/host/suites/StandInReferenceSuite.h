// The stand-in host's PSActionReferenceProcs table.
#pragma once

#include "ActionReferenceSuite.h"

namespace zk {

const PSActionReferenceProcs* StandInReferenceSuite();

}  // namespace zk
