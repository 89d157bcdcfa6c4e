// The stand-in host's basic suite, and the lookup of every suite table it offers by name and
// version (one full slot table per suite and version).
#pragma once

#include "BasicSuite.h"

namespace zk {

// The basic suite exists as several tables at distinct addresses whose procedures know which table
// they belong to, so that a test can tell through which one a plug-in acquired or released a suite.
constexpr int kBasicSuiteTables = 32;
const SPBasicSuite* StandInBasicSuite(int table);
int BasicSuiteTableIndex(const SPBasicSuite* suite);  // -1 when it is not one of ours

// The table of a suite by name and version, or null when the host does not offer it.
const void* FindSuiteTable(const char* name, int32_t version);

}  // namespace zk
