// The host's UI hooks suite, version 1 (8 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kPSUIHooksSuite = "Photoshop UIHooks Suite for Plug-ins";
constexpr int32_t kPSUIHooksSuiteVersion = 1;

struct PSPixelMap;
struct VRect;

struct PSUIHooksSuite1 {
  void(HOSTCALL* processEvent)(void* event);
  OSErr(HOSTCALL* displayPixels)(const PSPixelMap* source, const VRect* srcRect, int32_t dstRow, int32_t dstCol,
                                 void* platformContext);
  void(HOSTCALL* progressBar)(int32_t done, int32_t total);
  Boolean(HOSTCALL* testAbort)();
  intptr_t(HOSTCALL* MainAppWindow)();
  SPErr(HOSTCALL* SetCursor)(const char* cursorID);
  uint32_t(HOSTCALL* TickCount)();
  SPErr(HOSTCALL* GetPluginName)(SPPluginRef plugin, ASZString* name);
};
static_assert(sizeof(PSUIHooksSuite1) == 8 * sizeof(void*), "UI hooks suite v1 has 8 slots");
