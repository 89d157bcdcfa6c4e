// The host's basic suite: reaches every other suite. Full version 4 table.
#pragma once

#include "HostTypes.h"

constexpr const char* kSPBasicSuite = "SP Basic Suite";
constexpr int32_t kSPBasicSuiteVersion = 4;

struct SPBasicSuite {
  SPErr(HOSTCALL* AcquireSuite)(const char* name, int32_t version, const void** suite);
  SPErr(HOSTCALL* ReleaseSuite)(const char* name, int32_t version);
  SPBoolean(HOSTCALL* IsEqual)(const char* token1, const char* token2);
  SPErr(HOSTCALL* AllocateBlock)(size_t size, void** block);
  SPErr(HOSTCALL* FreeBlock)(void* block);
  SPErr(HOSTCALL* ReallocateBlock)(void* block, size_t newSize, void** newBlock);
  SPErr(HOSTCALL* Undefined)();
};
static_assert(sizeof(SPBasicSuite) == 7 * sizeof(void*), "basic suite has 7 slots");
