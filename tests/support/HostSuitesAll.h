// Every suite declaration of the host interface, for tests that name suites.
#pragma once

#include "AccessSuite.h"
#include "ActionControlSuite.h"
#include "ActionDescriptorSuite.h"
#include "ActionListSuite.h"
#include "ActionReferenceSuite.h"
#include "AliasSuite.h"
#include "BasicSuite.h"
#include "HandleSuite.h"
#include "UIHooksSuite.h"
#include "ZStringSuite.h"
