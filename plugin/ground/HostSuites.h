// One holder per host suite the module calls. Each is acquired on its first use.
#pragma once

#include "AccessSuite.h"
#include "ActionControlSuite.h"
#include "ActionDescriptorSuite.h"
#include "ActionListSuite.h"
#include "ActionReferenceSuite.h"
#include "AliasSuite.h"
#include "HandleSuite.h"
#include "SuiteHolder.h"
#include "UIHooksSuite.h"
#include "ZStringSuite.h"

#include <vector>

extern SuiteHolderOf<PSActionDescriptorProcs> sPSActionDescriptor;
extern SuiteHolderOf<PSActionReferenceProcs> sPSActionReference;
extern SuiteHolderOf<PSActionListProcs> sPSActionList;  // only to free lists the host hands out
extern SuiteHolderOf<PSActionControlProcs> sPSActionControl;
extern SuiteHolderOf<PSHandleSuite2> sPSHandle;
extern SuiteHolderOf<PSUIHooksSuite1> sPSUIHooks;
extern SuiteHolderOf<ASZStringSuite> sASZString;
extern SuiteHolderOf<SPAccessSuite> sSPAccess;
// Optional (Find, not ->): an older host has no alias suite, and paths then cross as 8-bit text.
// Version 2 only: version 1 makes aliases from UTF-16 paths but cannot give one back as UTF-16.
extern SuiteHolderOf<PSAliasSuite2> sPSAlias;

// Every holder above, in the order declared: what the module may ask the host for.
const std::vector<const SuiteHolder*>& ModuleSuiteHolders();

// Every holder above asks the host again for a suite it refused. At the start of each "Do It":
// within one the module does without a refused suite, and the next one asks again.
void ForgetSuiteRefusals();
