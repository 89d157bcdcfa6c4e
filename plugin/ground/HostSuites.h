// One holder per host suite the module calls. Each is acquired on its first use.
#pragma once

#include "AccessSuite.h"
#include "ActionControlSuite.h"
#include "ActionDescriptorSuite.h"
#include "ActionListSuite.h"
#include "ActionReferenceSuite.h"
#include "HandleSuite.h"
#include "SuiteHolder.h"
#include "UIHooksSuite.h"
#include "ZStringSuite.h"

extern SuiteHolderOf<PSActionDescriptorProcs> sPSActionDescriptor;
extern SuiteHolderOf<PSActionReferenceProcs> sPSActionReference;
extern SuiteHolderOf<PSActionListProcs> sPSActionList;  // only to free lists the host hands out
extern SuiteHolderOf<PSActionControlProcs> sPSActionControl;
extern SuiteHolderOf<PSHandleSuite2> sPSHandle;
extern SuiteHolderOf<PSUIHooksSuite1> sPSUIHooks;
extern SuiteHolderOf<ASZStringSuite> sASZString;
extern SuiteHolderOf<SPAccessSuite> sSPAccess;
