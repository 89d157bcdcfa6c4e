// The stand-in host's suite tables, one full slot table per suite and version it offers.
#pragma once

#include "AccessSuite.h"
#include "ActionControlSuite.h"
#include "ActionDescriptorSuite.h"
#include "ActionListSuite.h"
#include "ActionReferenceSuite.h"
#include "BasicSuite.h"
#include "HandleSuite.h"
#include "UIHooksSuite.h"
#include "ZStringSuite.h"

namespace zk {

const PSActionDescriptorProcs* StandInDescriptorSuite();
const PSActionReferenceProcs* StandInReferenceSuite();
const PSActionListProcs* StandInListSuite();
const PSActionControlProcs* StandInControlSuite();
const PSHandleSuite2* StandInHandleSuite();
const PSUIHooksSuite1* StandInUIHooksSuite();
const ASZStringSuite* StandInZStringSuite();
const SPAccessSuite* StandInAccessSuite();

// The basic suite exists as several tables at distinct addresses whose procedures know which table
// they belong to, so that a test can tell through which one a plug-in acquired or released a suite.
constexpr int kBasicSuiteTables = 32;
const SPBasicSuite* StandInBasicSuite(int table);
int BasicSuiteTableIndex(const SPBasicSuite* suite);  // -1 when it is not one of ours

// The table of a suite by name and version, or null when the host does not offer it.
const void* FindSuiteTable(const char* name, int32_t version);

}  // namespace zk
