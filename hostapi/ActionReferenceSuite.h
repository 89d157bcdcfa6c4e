// The host's action reference suite, version 3 (21 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kPSActionReferenceSuite = "df135117-c769-11d0-8079-00c04fd7ec47";
constexpr int32_t kPSActionReferenceSuiteVersion = 3;

struct PSActionReferenceProcs {
  OSErr(HOSTCALL* Make)(PIActionReference* reference);
  OSErr(HOSTCALL* Free)(PIActionReference reference);
  OSErr(HOSTCALL* GetForm)(PIActionReference reference, DescriptorFormID* value);
  OSErr(HOSTCALL* GetDesiredClass)(PIActionReference reference, DescriptorClassID* value);
  OSErr(HOSTCALL* PutName)(PIActionReference reference, DescriptorClassID desiredClass, const char* cstrValue);
  OSErr(HOSTCALL* PutIndex)(PIActionReference reference, DescriptorClassID desiredClass, uint32_t value);
  OSErr(HOSTCALL* PutIdentifier)(PIActionReference reference, DescriptorClassID desiredClass, uint32_t value);
  OSErr(HOSTCALL* PutOffset)(PIActionReference reference, DescriptorClassID desiredClass, int32_t value);
  OSErr(HOSTCALL* PutEnumerated)(PIActionReference reference, DescriptorClassID desiredClass,
                                 DescriptorEnumTypeID type, DescriptorEnumID value);
  OSErr(HOSTCALL* PutProperty)(PIActionReference reference, DescriptorClassID desiredClass, DescriptorKeyID value);
  OSErr(HOSTCALL* PutClass)(PIActionReference reference, DescriptorClassID desiredClass);
  OSErr(HOSTCALL* GetNameLength)(PIActionReference reference, uint32_t* stringLength);
  OSErr(HOSTCALL* GetName)(PIActionReference reference, char* name, uint32_t maxLength);
  OSErr(HOSTCALL* GetIndex)(PIActionReference reference, uint32_t* value);
  OSErr(HOSTCALL* GetIdentifier)(PIActionReference reference, uint32_t* value);
  OSErr(HOSTCALL* GetOffset)(PIActionReference reference, int32_t* value);
  OSErr(HOSTCALL* GetEnumerated)(PIActionReference reference, DescriptorEnumTypeID* type, DescriptorEnumID* enumValue);
  OSErr(HOSTCALL* GetProperty)(PIActionReference reference, DescriptorKeyID* value);
  OSErr(HOSTCALL* GetContainer)(PIActionReference reference, PIActionReference* value);
  OSErr(HOSTCALL* PutNameZString)(PIActionReference reference, DescriptorClassID desiredClass, ASZString zstring);
  OSErr(HOSTCALL* GetNameZString)(PIActionReference reference, ASZString* zstring);
};
static_assert(sizeof(PSActionReferenceProcs) == 21 * sizeof(void*), "reference suite v3 has 21 slots");
