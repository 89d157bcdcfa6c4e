// The host's action descriptor suite, version 3 (48 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kPSActionDescriptorSuite = "df135115-c769-11d0-8079-00c04fd7ec47";
constexpr int32_t kPSActionDescriptorSuiteVersion = 3;

struct PSActionDescriptorProcs {
  OSErr(HOSTCALL* Make)(PIActionDescriptor* descriptor);
  OSErr(HOSTCALL* Free)(PIActionDescriptor descriptor);
  OSErr(HOSTCALL* GetType)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID* type);
  OSErr(HOSTCALL* GetKey)(PIActionDescriptor descriptor, uint32_t index, DescriptorKeyID* key);
  OSErr(HOSTCALL* HasKey)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* hasKey);
  OSErr(HOSTCALL* GetCount)(PIActionDescriptor descriptor, uint32_t* count);
  OSErr(HOSTCALL* IsEqual)(PIActionDescriptor descriptor, PIActionDescriptor other, Boolean* isEqual);
  OSErr(HOSTCALL* Erase)(PIActionDescriptor descriptor, DescriptorKeyID key);
  OSErr(HOSTCALL* Clear)(PIActionDescriptor descriptor);
  OSErr(HOSTCALL* PutInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32_t value);
  OSErr(HOSTCALL* PutFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, real64 value);
  OSErr(HOSTCALL* PutUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit,
                                real64 value);
  OSErr(HOSTCALL* PutString)(PIActionDescriptor descriptor, DescriptorKeyID key, const char* cstrValue);
  OSErr(HOSTCALL* PutBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean value);
  OSErr(HOSTCALL* PutList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList value);
  OSErr(HOSTCALL* PutObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                             PIActionDescriptor value);
  OSErr(HOSTCALL* PutGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID type,
                                   PIActionDescriptor value);
  OSErr(HOSTCALL* PutEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID type,
                                 DescriptorEnumID value);
  OSErr(HOSTCALL* PutReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference value);
  OSErr(HOSTCALL* PutClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
  OSErr(HOSTCALL* PutGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID value);
  OSErr(HOSTCALL* PutAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle value);
  OSErr(HOSTCALL* GetInteger)(PIActionDescriptor descriptor, DescriptorKeyID key, int32_t* value);
  OSErr(HOSTCALL* GetFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, real64* value);
  OSErr(HOSTCALL* GetUnitFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID* unit,
                                real64* value);
  OSErr(HOSTCALL* GetStringLength)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32_t* stringLength);
  OSErr(HOSTCALL* GetString)(PIActionDescriptor descriptor, DescriptorKeyID key, char* cstrValue,
                             uint32_t maxLength);
  OSErr(HOSTCALL* GetBoolean)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* value);
  OSErr(HOSTCALL* GetList)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionList* value);
  OSErr(HOSTCALL* GetObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                             PIActionDescriptor* value);
  OSErr(HOSTCALL* GetGlobalObject)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* type,
                                   PIActionDescriptor* value);
  OSErr(HOSTCALL* GetEnumerated)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorEnumTypeID* type,
                                 DescriptorEnumID* value);
  OSErr(HOSTCALL* GetReference)(PIActionDescriptor descriptor, DescriptorKeyID key, PIActionReference* value);
  OSErr(HOSTCALL* GetClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
  OSErr(HOSTCALL* GetGlobalClass)(PIActionDescriptor descriptor, DescriptorKeyID key, DescriptorClassID* value);
  OSErr(HOSTCALL* GetAlias)(PIActionDescriptor descriptor, DescriptorKeyID key, Handle* value);
  OSErr(HOSTCALL* HasKeys)(PIActionDescriptor descriptor, DescriptorKeyID* requiredKeys, Boolean* hasKeys);
  OSErr(HOSTCALL* PutIntegers)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32_t count,
                               int32_t* values);
  OSErr(HOSTCALL* GetIntegers)(PIActionDescriptor descriptor, DescriptorKeyID key, uint32_t count,
                               int32_t* values);
  OSErr(HOSTCALL* AsHandle)(PIActionDescriptor descriptor, PIDescriptorHandle* value);
  OSErr(HOSTCALL* HandleToDescriptor)(PIDescriptorHandle value, PIActionDescriptor* descriptor);
  OSErr(HOSTCALL* PutZString)(PIActionDescriptor descriptor, DescriptorKeyID key, ASZString zstring);
  OSErr(HOSTCALL* GetZString)(PIActionDescriptor descriptor, DescriptorKeyID key, ASZString* zstring);
  OSErr(HOSTCALL* PutData)(PIActionDescriptor descriptor, DescriptorKeyID key, int32_t length, void* value);
  OSErr(HOSTCALL* GetDataLength)(PIActionDescriptor descriptor, DescriptorKeyID key, int32_t* value);
  OSErr(HOSTCALL* GetData)(PIActionDescriptor descriptor, DescriptorKeyID key, void* value);
  OSErr(HOSTCALL* PutInteger64)(PIActionDescriptor descriptor, DescriptorKeyID key, int64_t value);
  OSErr(HOSTCALL* GetInteger64)(PIActionDescriptor descriptor, DescriptorKeyID key, int64_t* value);
};
static_assert(sizeof(PSActionDescriptorProcs) == 48 * sizeof(void*), "descriptor suite v3 has 48 slots");
