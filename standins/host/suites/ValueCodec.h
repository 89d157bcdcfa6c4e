// Turning the arguments of a Put procedure into an ActionValue and an ActionValue back into the
// out-arguments of a Get procedure. Shared by the descriptor and the list suites. Every function
// answers 0 or an error status and writes nothing on error.
#pragma once

#include "ActionValue.h"
#include "HostObjectTable.h"

namespace zk {

// Makers (the objects passed in are copied; the caller keeps and frees its own).
ActionValue IntegerValue(int32_t value);
ActionValue Integer64Value(int64_t value);
ActionValue FloatValue(double value);
ActionValue UnitFloatValue(DescriptorUnitID unit, double value);
ActionValue BooleanValue(Boolean value);
ActionValue EnumeratedValue(DescriptorEnumTypeID type, DescriptorEnumID value);
ActionValue ClassValue(DescriptorTypeID type, DescriptorClassID value);  // typeType or typeGlobalClass
OSErr MakeStringValue(const char* text, ActionValue* out);
OSErr MakeObjectValue(HostObjectTable& objects, DescriptorTypeID type, DescriptorClassID cls,
                      PIActionDescriptor descriptor, ActionValue* out);  // typeObject or typeGlobalObject
OSErr MakeListValue(HostObjectTable& objects, PIActionList list, ActionValue* out);
OSErr MakeReferenceValue(HostObjectTable& objects, PIActionReference reference, ActionValue* out);
OSErr MakeAliasValue(HostObjectTable& objects, Handle alias, ActionValue* out);
OSErr MakeDataValue(int32_t length, const void* data, ActionValue* out);
OSErr MakeZStringValue(HostObjectTable& objects, ASZString zstring, ActionValue* out);
OSErr MakeIntegersValue(uint32_t count, const int32_t* values, ActionValue* out);

// Readers. A value of another type answers kStandInWrongType; a null out-pointer kStandInParamError.
OSErr ReadInteger(const ActionValue& v, int32_t* out);
OSErr ReadInteger64(const ActionValue& v, int64_t* out);
OSErr ReadFloat(const ActionValue& v, real64* out);
OSErr ReadUnitFloat(const ActionValue& v, DescriptorUnitID* unit, real64* out);
OSErr ReadStringLength(const ActionValue& v, uint32_t* length);
// Copies at most maxLength - 1 bytes and always terminates; maxLength 0 is a parameter error.
OSErr ReadString(const ActionValue& v, char* buffer, uint32_t maxLength);
OSErr ReadBoolean(const ActionValue& v, Boolean* out);
OSErr ReadEnumerated(const ActionValue& v, DescriptorEnumTypeID* type, DescriptorEnumID* out);
OSErr ReadClass(const ActionValue& v, DescriptorClassID* out);  // 'type' and 'GlbC' alike
OSErr ReadObject(HostObjectTable& objects, const ActionValue& v, DescriptorTypeID type, DescriptorClassID* cls,
                 PIActionDescriptor* out);  // a new descriptor the caller frees
OSErr ReadList(HostObjectTable& objects, const ActionValue& v, PIActionList* out);
OSErr ReadReference(HostObjectTable& objects, const ActionValue& v, PIActionReference* out);
OSErr ReadAlias(HostObjectTable& objects, const ActionValue& v, Handle* out);  // 'alis' and 'Pth ' alike
OSErr ReadDataLength(const ActionValue& v, int32_t* length);
OSErr ReadData(const ActionValue& v, void* out);
OSErr ReadZString(HostObjectTable& objects, const ActionValue& v, ASZString* out);
OSErr ReadIntegers(const ActionValue& v, uint32_t count, int32_t* out);

}  // namespace zk
