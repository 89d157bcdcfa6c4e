#include "StandInListSuite.h"

// The action list suite: typed values by index.
#include "HostCodes.h"
#include "HostStatus.h"
#include "StandInHost.h"
#include "SuiteCall.h"
#include "ValueCodec.h"

#include <functional>

namespace zk {
namespace {

using Maker = std::function<OSErr(HostObjectTable&, ActionValue*)>;
using Reader = std::function<OSErr(HostObjectTable&, const ActionValue&)>;

SuiteCall Enter(const char* procedure) { return EnterProcedure("PSActionList", procedure); }

OSErr HOSTCALL Append(const char* procedure, PIActionList l, const Maker& make) {
  SuiteCall call = Enter(procedure);
  if (call.status) return OSErr(call.status);
  ListData* data = call.Objects().List(l);
  if (!data) return kStandInParamError;
  ActionValue value;
  if (OSErr e = make(call.Objects(), &value)) return e;
  data->items.push_back(std::move(value));
  return 0;
}

OSErr HOSTCALL AppendSimple(const char* procedure, PIActionList l, ActionValue value) {
  return Append(procedure, l, [&](HostObjectTable&, ActionValue* out) {
    *out = value;
    return OSErr(0);
  });
}

OSErr HOSTCALL Get(const char* procedure, PIActionList l, uint32_t index, const Reader& read) {
  SuiteCall call = Enter(procedure);
  if (call.status) return OSErr(call.status);
  ListData* data = call.Objects().List(l);
  if (!data) return kStandInParamError;
  if (index >= data->items.size()) return kStandInBadIndex;
  return read(call.Objects(), data->items[index]);
}

OSErr HOSTCALL Make(PIActionList* l) {
  SuiteCall call = Enter("Make");
  if (call.status) return OSErr(call.status);
  if (!l) return kStandInParamError;
  *l = call.Objects().NewList();
  return 0;
}

OSErr HOSTCALL Free(PIActionList l) {
  SuiteCall call = Enter("Free");
  if (call.status) return OSErr(call.status);
  return call.Objects().FreeList(l) ? OSErr(0) : kStandInParamError;
}

OSErr HOSTCALL GetType(PIActionList l, uint32_t index, DescriptorTypeID* type) {
  return Get("GetType", l, index, [&](HostObjectTable&, const ActionValue& v) {
    if (!type) return kStandInParamError;
    *type = v.type;
    return OSErr(0);
  });
}

OSErr HOSTCALL GetCount(PIActionList l, uint32_t* count) {
  SuiteCall call = Enter("GetCount");
  if (call.status) return OSErr(call.status);
  ListData* data = call.Objects().List(l);
  if (!data || !count) return kStandInParamError;
  *count = uint32_t(data->items.size());
  return 0;
}

OSErr HOSTCALL PutInteger(PIActionList l, int32_t value) { return AppendSimple("PutInteger", l, IntegerValue(value)); }
OSErr HOSTCALL PutFloat(PIActionList l, real64 value) { return AppendSimple("PutFloat", l, FloatValue(value)); }
OSErr HOSTCALL PutUnitFloat(PIActionList l, DescriptorUnitID unit, real64 value) {
  return AppendSimple("PutUnitFloat", l, UnitFloatValue(unit, value));
}
OSErr HOSTCALL PutString(PIActionList l, const char* text) {
  return Append("PutString", l, [&](HostObjectTable&, ActionValue* out) { return MakeStringValue(text, out); });
}
OSErr HOSTCALL PutBoolean(PIActionList l, Boolean value) { return AppendSimple("PutBoolean", l, BooleanValue(value)); }
OSErr HOSTCALL PutList(PIActionList l, PIActionList value) {
  return Append("PutList", l, [&](HostObjectTable& o, ActionValue* out) { return MakeListValue(o, value, out); });
}
OSErr HOSTCALL PutObject(PIActionList l, DescriptorClassID cls, PIActionDescriptor value) {
  return Append("PutObject", l,
                [&](HostObjectTable& o, ActionValue* out) { return MakeObjectValue(o, typeObject, cls, value, out); });
}
OSErr HOSTCALL PutGlobalObject(PIActionList l, DescriptorClassID cls, PIActionDescriptor value) {
  return Append("PutGlobalObject", l, [&](HostObjectTable& o, ActionValue* out) {
    return MakeObjectValue(o, typeGlobalObject, cls, value, out);
  });
}
OSErr HOSTCALL PutEnumerated(PIActionList l, DescriptorEnumTypeID type, DescriptorEnumID value) {
  return AppendSimple("PutEnumerated", l, EnumeratedValue(type, value));
}
OSErr HOSTCALL PutReference(PIActionList l, PIActionReference value) {
  return Append("PutReference", l,
                [&](HostObjectTable& o, ActionValue* out) { return MakeReferenceValue(o, value, out); });
}
OSErr HOSTCALL PutClass(PIActionList l, DescriptorClassID value) {
  return AppendSimple("PutClass", l, ClassValue(typeType, value));
}
OSErr HOSTCALL PutGlobalClass(PIActionList l, DescriptorClassID value) {
  return AppendSimple("PutGlobalClass", l, ClassValue(typeGlobalClass, value));
}
OSErr HOSTCALL PutAlias(PIActionList l, Handle value) {
  return Append("PutAlias", l, [&](HostObjectTable& o, ActionValue* out) { return MakeAliasValue(o, value, out); });
}

OSErr HOSTCALL GetInteger(PIActionList l, uint32_t i, int32_t* value) {
  return Get("GetInteger", l, i, [&](HostObjectTable&, const ActionValue& v) { return ReadInteger(v, value); });
}
OSErr HOSTCALL GetFloat(PIActionList l, uint32_t i, real64* value) {
  return Get("GetFloat", l, i, [&](HostObjectTable&, const ActionValue& v) { return ReadFloat(v, value); });
}
OSErr HOSTCALL GetUnitFloat(PIActionList l, uint32_t i, DescriptorUnitID* unit, real64* value) {
  return Get("GetUnitFloat", l, i,
             [&](HostObjectTable&, const ActionValue& v) { return ReadUnitFloat(v, unit, value); });
}
OSErr HOSTCALL GetStringLength(PIActionList l, uint32_t i, uint32_t* length) {
  return Get("GetStringLength", l, i,
             [&](HostObjectTable&, const ActionValue& v) { return ReadStringLength(v, length); });
}
OSErr HOSTCALL GetString(PIActionList l, uint32_t i, char* buffer, uint32_t maxLength) {
  return Get("GetString", l, i,
             [&](HostObjectTable&, const ActionValue& v) { return ReadString(v, buffer, maxLength); });
}
OSErr HOSTCALL GetBoolean(PIActionList l, uint32_t i, Boolean* value) {
  return Get("GetBoolean", l, i, [&](HostObjectTable&, const ActionValue& v) { return ReadBoolean(v, value); });
}
OSErr HOSTCALL GetList(PIActionList l, uint32_t i, PIActionList* value) {
  return Get("GetList", l, i, [&](HostObjectTable& o, const ActionValue& v) { return ReadList(o, v, value); });
}
OSErr HOSTCALL GetObject(PIActionList l, uint32_t i, DescriptorClassID* cls, PIActionDescriptor* value) {
  return Get("GetObject", l, i,
             [&](HostObjectTable& o, const ActionValue& v) { return ReadObject(o, v, typeObject, cls, value); });
}
OSErr HOSTCALL GetGlobalObject(PIActionList l, uint32_t i, DescriptorClassID* cls, PIActionDescriptor* value) {
  return Get("GetGlobalObject", l, i, [&](HostObjectTable& o, const ActionValue& v) {
    return ReadObject(o, v, typeGlobalObject, cls, value);
  });
}
OSErr HOSTCALL GetEnumerated(PIActionList l, uint32_t i, DescriptorEnumTypeID* type, DescriptorEnumID* value) {
  return Get("GetEnumerated", l, i,
             [&](HostObjectTable&, const ActionValue& v) { return ReadEnumerated(v, type, value); });
}
OSErr HOSTCALL GetReference(PIActionList l, uint32_t i, PIActionReference* value) {
  return Get("GetReference", l, i,
             [&](HostObjectTable& o, const ActionValue& v) { return ReadReference(o, v, value); });
}
OSErr HOSTCALL GetClass(PIActionList l, uint32_t i, DescriptorClassID* value) {
  return Get("GetClass", l, i, [&](HostObjectTable&, const ActionValue& v) { return ReadClass(v, value); });
}
OSErr HOSTCALL GetGlobalClass(PIActionList l, uint32_t i, DescriptorClassID* value) {
  return Get("GetGlobalClass", l, i, [&](HostObjectTable&, const ActionValue& v) { return ReadClass(v, value); });
}
OSErr HOSTCALL GetAlias(PIActionList l, uint32_t i, Handle* value) {
  return Get("GetAlias", l, i, [&](HostObjectTable& o, const ActionValue& v) { return ReadAlias(o, v, value); });
}

// PutIntegers appends each integer; GetIntegers reads the first count items, which must be integers.
OSErr HOSTCALL PutIntegers(PIActionList l, uint32_t count, int32_t* values) {
  SuiteCall call = Enter("PutIntegers");
  if (call.status) return OSErr(call.status);
  ListData* data = call.Objects().List(l);
  if (!data || (count > 0 && !values)) return kStandInParamError;
  for (uint32_t i = 0; i < count; ++i) data->items.push_back(IntegerValue(values[i]));
  return 0;
}

OSErr HOSTCALL GetIntegers(PIActionList l, uint32_t count, int32_t* values) {
  SuiteCall call = Enter("GetIntegers");
  if (call.status) return OSErr(call.status);
  ListData* data = call.Objects().List(l);
  if (!data || (count > 0 && !values)) return kStandInParamError;
  if (count > data->items.size()) return kStandInBadIndex;
  for (uint32_t i = 0; i < count; ++i) {
    if (data->items[i].type != typeInteger) return kStandInWrongType;
  }
  for (uint32_t i = 0; i < count; ++i) values[i] = int32_t(data->items[i].integer);
  return 0;
}

OSErr HOSTCALL PutData(PIActionList l, int32_t length, void* data) {
  return Append("PutData", l, [&](HostObjectTable&, ActionValue* out) { return MakeDataValue(length, data, out); });
}
OSErr HOSTCALL GetDataLength(PIActionList l, uint32_t i, int32_t* length) {
  return Get("GetDataLength", l, i,
             [&](HostObjectTable&, const ActionValue& v) { return ReadDataLength(v, length); });
}
OSErr HOSTCALL GetData(PIActionList l, uint32_t i, void* data) {
  return Get("GetData", l, i, [&](HostObjectTable&, const ActionValue& v) { return ReadData(v, data); });
}
OSErr HOSTCALL PutZString(PIActionList l, ASZString zstring) {
  return Append("PutZString", l,
                [&](HostObjectTable& o, ActionValue* out) { return MakeZStringValue(o, zstring, out); });
}
OSErr HOSTCALL GetZString(PIActionList l, uint32_t i, ASZString* zstring) {
  return Get("GetZString", l, i,
             [&](HostObjectTable& o, const ActionValue& v) { return ReadZString(o, v, zstring); });
}

const PSActionListProcs kListSuite = {
    Make,         Free,          GetType,       GetCount,        PutInteger,      PutFloat,     PutUnitFloat,
    PutString,    PutBoolean,    PutList,       PutObject,       PutGlobalObject, PutEnumerated, PutReference,
    PutClass,     PutGlobalClass, PutAlias,     GetInteger,      GetFloat,        GetUnitFloat, GetStringLength,
    GetString,    GetBoolean,    GetList,       GetObject,       GetGlobalObject, GetEnumerated, GetReference,
    GetClass,     GetGlobalClass, GetAlias,     PutIntegers,     GetIntegers,     PutData,      GetDataLength,
    GetData,      PutZString,    GetZString,
};

}  // namespace

const PSActionListProcs* StandInListSuite() { return &kListSuite; }

}  // namespace zk
