// The host's action control suite, version 2 (8 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kPSActionControlSuite = "bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee";
constexpr int32_t kPSActionControlSuiteVersion = 2;

using PIEventNotifier = void(HOSTCALL*)(DescriptorEventID event, PIActionDescriptor descriptor,
                                        PIDialogRecordOptions options, void* data);
using PISuspendProc = SPErr(HOSTCALL*)(void* data);

struct PSActionControlProcs {
  // The result descriptor comes first; the caller owns a non-null result, also after a failure.
  OSErr(HOSTCALL* Play)(PIActionDescriptor* result, DescriptorEventID event, PIActionDescriptor descriptor,
                        PIDialogPlayOptions options);
  OSErr(HOSTCALL* Get)(PIActionDescriptor* result, PIActionReference reference);
  OSErr(HOSTCALL* StringIDToTypeID)(const char* stringID, DescriptorTypeID* typeID);
  OSErr(HOSTCALL* TypeIDToStringID)(DescriptorTypeID typeID, char* cstrValue, uint32_t maxLength);
  OSErr(HOSTCALL* AddNotify)(SPPluginRef ref, DescriptorEventID event, PIEventNotifier notifier, void* data);
  OSErr(HOSTCALL* RemoveNotify)(SPPluginRef ref, DescriptorEventID event);
  OSErr(HOSTCALL* SuspendHistory)(PIActionReference reference, PISuspendProc proc, void* data, ASZString label);
  OSErr(HOSTCALL* MakeStringAlias)(const char* newStringID, const char* existingStringID);
};
static_assert(sizeof(PSActionControlProcs) == 8 * sizeof(void*), "control suite v2 has 8 slots");
