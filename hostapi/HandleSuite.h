// The host's handle suite, version 2 (7 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kPSHandleSuite = "Photoshop Handle Suite for Plug-ins";
constexpr int32_t kPSHandleSuiteVersion = 2;

struct PSHandleSuite2 {
  Handle(HOSTCALL* New)(int32_t size);
  void(HOSTCALL* Dispose)(Handle h);
  void(HOSTCALL* DisposeRegularHandle)(Handle h);
  void(HOSTCALL* SetLock)(Handle h, Boolean lock, Ptr* address, Boolean* oldLock);
  int32_t(HOSTCALL* GetSize)(Handle h);
  OSErr(HOSTCALL* SetSize)(Handle h, int32_t newSize);
  void(HOSTCALL* RecoverSpace)(int32_t size);
};
static_assert(sizeof(PSHandleSuite2) == 7 * sizeof(void*), "handle suite v2 has 7 slots");
