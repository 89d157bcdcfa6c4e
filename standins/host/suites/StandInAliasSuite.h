// The stand-in host's alias utility suite tables, versions 1 and 2 (version 1 is the first five
// slots of version 2).
#pragma once

#include "AliasSuite.h"

namespace zk {

const PSAliasSuite1* StandInAliasSuite1();
const PSAliasSuite2* StandInAliasSuite2();

}  // namespace zk
