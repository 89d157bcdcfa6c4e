// The host's action list suite, version 1 (38 slots, in the host's order).
#pragma once

#include "HostTypes.h"

constexpr const char* kPSActionListSuite = "df135116-c769-11d0-8079-00c04fd7ec47";
constexpr int32_t kPSActionListSuiteVersion = 1;

struct PSActionListProcs {
  OSErr(HOSTCALL* Make)(PIActionList* actionList);
  OSErr(HOSTCALL* Free)(PIActionList list);
  OSErr(HOSTCALL* GetType)(PIActionList list, uint32_t index, DescriptorTypeID* value);
  OSErr(HOSTCALL* GetCount)(PIActionList list, uint32_t* value);
  OSErr(HOSTCALL* PutInteger)(PIActionList list, int32_t value);
  OSErr(HOSTCALL* PutFloat)(PIActionList list, real64 value);
  OSErr(HOSTCALL* PutUnitFloat)(PIActionList list, DescriptorUnitID unit, real64 value);
  OSErr(HOSTCALL* PutString)(PIActionList list, const char* cstr);
  OSErr(HOSTCALL* PutBoolean)(PIActionList list, Boolean value);
  OSErr(HOSTCALL* PutList)(PIActionList list, PIActionList value);
  OSErr(HOSTCALL* PutObject)(PIActionList list, DescriptorClassID type, PIActionDescriptor value);
  OSErr(HOSTCALL* PutGlobalObject)(PIActionList list, DescriptorClassID type, PIActionDescriptor value);
  OSErr(HOSTCALL* PutEnumerated)(PIActionList list, DescriptorEnumTypeID type, DescriptorEnumID value);
  OSErr(HOSTCALL* PutReference)(PIActionList list, PIActionReference value);
  OSErr(HOSTCALL* PutClass)(PIActionList list, DescriptorClassID value);
  OSErr(HOSTCALL* PutGlobalClass)(PIActionList list, DescriptorClassID value);
  OSErr(HOSTCALL* PutAlias)(PIActionList list, Handle value);
  OSErr(HOSTCALL* GetInteger)(PIActionList list, uint32_t index, int32_t* value);
  OSErr(HOSTCALL* GetFloat)(PIActionList list, uint32_t index, real64* value);
  OSErr(HOSTCALL* GetUnitFloat)(PIActionList list, uint32_t index, DescriptorUnitID* unit, real64* value);
  OSErr(HOSTCALL* GetStringLength)(PIActionList list, uint32_t index, uint32_t* stringLength);
  OSErr(HOSTCALL* GetString)(PIActionList list, uint32_t index, char* cstr, uint32_t maxLength);
  OSErr(HOSTCALL* GetBoolean)(PIActionList list, uint32_t index, Boolean* value);
  OSErr(HOSTCALL* GetList)(PIActionList list, uint32_t index, PIActionList* value);
  OSErr(HOSTCALL* GetObject)(PIActionList list, uint32_t index, DescriptorClassID* type, PIActionDescriptor* value);
  OSErr(HOSTCALL* GetGlobalObject)(PIActionList list, uint32_t index, DescriptorClassID* type,
                                   PIActionDescriptor* value);
  OSErr(HOSTCALL* GetEnumerated)(PIActionList list, uint32_t index, DescriptorEnumTypeID* type,
                                 DescriptorEnumID* value);
  OSErr(HOSTCALL* GetReference)(PIActionList list, uint32_t index, PIActionReference* value);
  OSErr(HOSTCALL* GetClass)(PIActionList list, uint32_t index, DescriptorClassID* value);
  OSErr(HOSTCALL* GetGlobalClass)(PIActionList list, uint32_t index, DescriptorClassID* value);
  OSErr(HOSTCALL* GetAlias)(PIActionList list, uint32_t index, Handle* value);
  OSErr(HOSTCALL* PutIntegers)(PIActionList list, uint32_t count, int32_t* values);
  OSErr(HOSTCALL* GetIntegers)(PIActionList list, uint32_t count, int32_t* values);
  OSErr(HOSTCALL* PutData)(PIActionList list, int32_t length, void* data);
  OSErr(HOSTCALL* GetDataLength)(PIActionList list, uint32_t index, int32_t* length);
  OSErr(HOSTCALL* GetData)(PIActionList list, uint32_t index, void* value);
  OSErr(HOSTCALL* PutZString)(PIActionList list, ASZString zstring);
  OSErr(HOSTCALL* GetZString)(PIActionList list, uint32_t index, ASZString* zstring);
};
static_assert(sizeof(PSActionListProcs) == 38 * sizeof(void*), "list suite v1 has 38 slots");
