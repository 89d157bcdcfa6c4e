// The stand-in host's PSUIHooksSuite1 table.
#pragma once

#include "UIHooksSuite.h"

namespace zk {

const PSUIHooksSuite1* StandInUIHooksSuite();

}  // namespace zk
