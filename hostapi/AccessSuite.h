// The host's SP access suite, version 3 (12 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kSPAccessSuite = "SP Access Suite";
constexpr int32_t kSPAccessSuiteVersion = 3;

using SPEntry = AutoPluginEntry;

struct SPAccessSuite {
  SPErr(HOSTCALL* AcquirePlugin)(SPPluginRef plugin, SPAccessRef* access);
  SPErr(HOSTCALL* ReleasePlugin)(SPAccessRef access);
  SPErr(HOSTCALL* GetPluginAccess)(SPPluginRef plugin, SPAccessRef* access);
  SPErr(HOSTCALL* GetAccessPlugin)(SPAccessRef access, SPPluginRef* plugin);
  SPErr(HOSTCALL* GetAccessEntry)(SPAccessRef access, SPEntry* entry);
  SPErr(HOSTCALL* GetAccessCount)(SPAccessRef access, int32_t* count);
  SPErr(HOSTCALL* GetAccessInfo)(SPAccessRef access, SPPlatformAccessInfo* info);
  SPErr(HOSTCALL* GetPluginResourceAccess)(SPPluginRef plugin, SPPlatformAccessRef* resourceAccess);
  SPErr(HOSTCALL* SetPluginResourceAccess)(SPPluginRef plugin, SPPlatformAccessRef resourceAccess);
  SPErr(HOSTCALL* CallPlugin)(SPAccessRef access, const char* caller, const char* selector, void* message,
                              SPErr* result);
  SPErr(HOSTCALL* GetCurrentPlugin)(SPPluginRef* plugin);
  SPErr(HOSTCALL* SetCurrentPlugin)(SPPluginRef plugin);
};
static_assert(sizeof(SPAccessSuite) == 12 * sizeof(void*), "access suite v3 has 12 slots");
