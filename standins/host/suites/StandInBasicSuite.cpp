// The basic suite: acquiring and releasing every other suite, comparing texts, host memory blocks.
#include "StandInBasicSuite.h"

#include "StandInHost.h"
#include "SuiteCall.h"
#include "StandInAccessSuite.h"
#include "StandInAliasSuite.h"
#include "StandInControlSuite.h"
#include "StandInDescriptorSuite.h"
#include "StandInHandleSuite.h"
#include "StandInListSuite.h"
#include "StandInReferenceSuite.h"
#include "StandInUIHooksSuite.h"
#include "StandInZStringSuite.h"


#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace zk {
namespace {

struct OfferedSuite {
  const char* name;
  int32_t version;
  const void* (*table)();
};

const void* BasicTableZero() { return StandInBasicSuite(0); }
const void* DescriptorTable() { return StandInDescriptorSuite(); }
const void* ReferenceTable() { return StandInReferenceSuite(); }
const void* ListTable() { return StandInListSuite(); }
const void* ControlTable() { return StandInControlSuite(); }
const void* HandleTable() { return StandInHandleSuite(); }
const void* UIHooksTable() { return StandInUIHooksSuite(); }
const void* ZStringTable() { return StandInZStringSuite(); }
const void* AccessTable() { return StandInAccessSuite(); }
const void* AliasTable1() { return StandInAliasSuite1(); }
const void* AliasTable2() { return StandInAliasSuite2(); }

// Exactly the versions the host has; any other version of a known name is not found.
const OfferedSuite kOffered[] = {
    {kSPBasicSuite, kSPBasicSuiteVersion, BasicTableZero},
    {kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion, DescriptorTable},
    {kPSActionReferenceSuite, kPSActionReferenceSuiteVersion, ReferenceTable},
    {kPSActionListSuite, kPSActionListSuiteVersion, ListTable},
    {kPSActionControlSuite, kPSActionControlSuiteVersion, ControlTable},
    {kPSHandleSuite, kPSHandleSuiteVersion, HandleTable},
    {kPSUIHooksSuite, kPSUIHooksSuiteVersion, UIHooksTable},
    {kASZStringSuite, kASZStringSuiteVersion, ZStringTable},
    {kSPAccessSuite, kSPAccessSuiteVersion, AccessTable},
    {kPSAliasSuite, kPSAliasSuiteVersion1, AliasTable1},
    {kPSAliasSuite, kPSAliasSuiteVersion2, AliasTable2},
};

SPErr HOSTCALL Acquire(int table, const char* name, int32_t version, const void** suite) {
  SuiteCall call = EnterProcedure("SPBasic", "AcquireSuite");
  if (suite) *suite = nullptr;
  if (!call.host) return call.status;
  SPErr status = call.status;
  const void* found = nullptr;
  if (status == 0 && (!name || !suite)) status = kSPBadParameterError;
  if (status == 0 && call.host->Book().IsRefused(name, version)) status = kSPSuiteNotFoundError;
  if (status == 0) {
    found = FindSuiteTable(name, version);
    if (!found) status = kSPSuiteNotFoundError;
  }
  // Success all the same, with no table: what a faulty host may answer.
  if (status == 0 && call.host->Book().HandsOutNullSuite(name)) found = nullptr;
  if (status == 0) *suite = found;
  call.host->Book().RecordSuiteEvent({true, name ? name : "", version, table, status});
  return status;
}

// Releasing more often than acquiring is refused, so that a double release shows up in tests.
SPErr HOSTCALL Release(int table, const char* name, int32_t version) {
  SuiteCall call = EnterProcedure("SPBasic", "ReleaseSuite");
  if (!call.host) return call.status;
  SPErr status = call.status;
  if (status == 0 && !name) status = kSPBadParameterError;
  if (status == 0 && !FindSuiteTable(name, version)) status = kSPSuiteNotFoundError;
  if (status == 0 && call.host->Book().Outstanding(name) <= 0) status = kSPBadParameterError;
  call.host->Book().RecordSuiteEvent({false, name ? name : "", version, table, status});
  return status;
}

template <int N>
SPErr HOSTCALL AcquireThrough(const char* name, int32_t version, const void** suite) {
  return Acquire(N, name, version, suite);
}

template <int N>
SPErr HOSTCALL ReleaseThrough(const char* name, int32_t version) {
  return Release(N, name, version);
}

SPBoolean HOSTCALL IsEqual(const char* a, const char* b) {
  EnterProcedure("SPBasic", "IsEqual");
  return (a && b && std::strcmp(a, b) == 0) ? 1 : 0;
}

SPErr HOSTCALL AllocateBlock(size_t size, void** block) {
  SuiteCall call = EnterProcedure("SPBasic", "AllocateBlock");
  if (call.status) return call.status;
  if (!block) return kSPBadParameterError;
  *block = std::malloc(size ? size : 1);
  return *block ? kSPNoError : kSPOutOfMemoryError;
}

SPErr HOSTCALL FreeBlock(void* block) {
  SuiteCall call = EnterProcedure("SPBasic", "FreeBlock");
  if (call.status) return call.status;
  std::free(block);
  return kSPNoError;
}

// On failure the old block stays valid and *newBlock is null.
SPErr HOSTCALL ReallocateBlock(void* block, size_t newSize, void** newBlock) {
  SuiteCall call = EnterProcedure("SPBasic", "ReallocateBlock");
  if (call.status) return call.status;
  if (!newBlock) return kSPBadParameterError;
  *newBlock = std::realloc(block, newSize ? newSize : 1);
  return *newBlock ? kSPNoError : kSPOutOfMemoryError;
}

SPErr HOSTCALL Undefined() {
  SuiteCall call = EnterProcedure("SPBasic", "Undefined");
  return call.status ? call.status : kSPUnimplementedError;
}

template <size_t... N>
constexpr std::array<SPBasicSuite, sizeof...(N)> MakeBasicTables(std::index_sequence<N...>) {
  return {{SPBasicSuite{AcquireThrough<int(N)>, ReleaseThrough<int(N)>, IsEqual, AllocateBlock, FreeBlock,
                        ReallocateBlock, Undefined}...}};
}

constexpr std::array<SPBasicSuite, kBasicSuiteTables> kBasicTables =
    MakeBasicTables(std::make_index_sequence<kBasicSuiteTables>());

}  // namespace

const SPBasicSuite* StandInBasicSuite(int table) {
  if (table < 0 || table >= kBasicSuiteTables) return nullptr;
  return &kBasicTables[size_t(table)];
}

int BasicSuiteTableIndex(const SPBasicSuite* suite) {
  for (int i = 0; i < kBasicSuiteTables; ++i) {
    if (suite == &kBasicTables[size_t(i)]) return i;
  }
  return -1;
}

const void* FindSuiteTable(const char* name, int32_t version) {
  if (!name) return nullptr;
  for (const OfferedSuite& offered : kOffered) {
    if (std::strcmp(offered.name, name) == 0 && offered.version == version) return offered.table();
  }
  return nullptr;
}

}  // namespace zk
