#include "StandInDescriptorSuite.h"

// The action descriptor suite: keyed, typed values.
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

SuiteCall Enter(const char* procedure) { return EnterProcedure("PSActionDescriptor", procedure); }

OSErr HOSTCALL Put(const char* procedure, PIActionDescriptor d, DescriptorKeyID key, const Maker& make) {
  SuiteCall call = Enter(procedure);
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data) return kStandInParamError;
  ActionValue value;
  if (OSErr e = make(call.Objects(), &value)) return e;
  data->Put(key, std::move(value));
  return 0;
}

OSErr HOSTCALL PutSimple(const char* procedure, PIActionDescriptor d, DescriptorKeyID key, ActionValue value) {
  return Put(procedure, d, key, [&](HostObjectTable&, ActionValue* out) {
    *out = value;
    return OSErr(0);
  });
}

OSErr HOSTCALL Get(const char* procedure, PIActionDescriptor d, DescriptorKeyID key, const Reader& read) {
  SuiteCall call = Enter(procedure);
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data) return kStandInParamError;
  const ActionValue* value = data->Find(key);
  if (!value) return kStandInKeyMissing;
  return read(call.Objects(), *value);
}

OSErr HOSTCALL Make(PIActionDescriptor* d) {
  SuiteCall call = Enter("Make");
  if (call.status) return OSErr(call.status);
  if (!d) return kStandInParamError;
  *d = call.Objects().NewDescriptor();
  return 0;
}

OSErr HOSTCALL Free(PIActionDescriptor d) {
  SuiteCall call = Enter("Free");
  if (call.status) return OSErr(call.status);
  return call.Objects().FreeDescriptor(d) ? OSErr(0) : kStandInParamError;
}

OSErr HOSTCALL GetType(PIActionDescriptor d, DescriptorKeyID key, DescriptorTypeID* type) {
  return Get("GetType", d, key, [&](HostObjectTable&, const ActionValue& v) {
    if (!type) return kStandInParamError;
    *type = v.type;
    return OSErr(0);
  });
}

OSErr HOSTCALL GetKey(PIActionDescriptor d, uint32_t index, DescriptorKeyID* key) {
  SuiteCall call = Enter("GetKey");
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data || !key) return kStandInParamError;
  if (index >= data->entries.size()) return kStandInBadIndex;
  *key = data->entries[index].first;
  return 0;
}

OSErr HOSTCALL HasKey(PIActionDescriptor d, DescriptorKeyID key, Boolean* has) {
  SuiteCall call = Enter("HasKey");
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data || !has) return kStandInParamError;
  *has = data->Find(key) ? 1 : 0;
  return 0;
}

OSErr HOSTCALL GetCount(PIActionDescriptor d, uint32_t* count) {
  SuiteCall call = Enter("GetCount");
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data || !count) return kStandInParamError;
  *count = uint32_t(data->entries.size());
  return 0;
}

OSErr HOSTCALL IsEqual(PIActionDescriptor d, PIActionDescriptor other, Boolean* equal) {
  SuiteCall call = Enter("IsEqual");
  if (call.status) return OSErr(call.status);
  DescriptorData* a = call.Objects().Descriptor(d);
  DescriptorData* b = call.Objects().Descriptor(other);
  if (!a || !b || !equal) return kStandInParamError;
  *equal = (*a == *b) ? 1 : 0;
  return 0;
}

OSErr HOSTCALL Erase(PIActionDescriptor d, DescriptorKeyID key) {
  SuiteCall call = Enter("Erase");
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data) return kStandInParamError;
  return data->Erase(key) ? OSErr(0) : kStandInKeyMissing;
}

OSErr HOSTCALL Clear(PIActionDescriptor d) {
  SuiteCall call = Enter("Clear");
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data) return kStandInParamError;
  data->entries.clear();
  return 0;
}

OSErr HOSTCALL PutInteger(PIActionDescriptor d, DescriptorKeyID key, int32_t value) {
  return PutSimple("PutInteger", d, key, IntegerValue(value));
}
OSErr HOSTCALL PutFloat(PIActionDescriptor d, DescriptorKeyID key, real64 value) {
  return PutSimple("PutFloat", d, key, FloatValue(value));
}
OSErr HOSTCALL PutUnitFloat(PIActionDescriptor d, DescriptorKeyID key, DescriptorUnitID unit, real64 value) {
  return PutSimple("PutUnitFloat", d, key, UnitFloatValue(unit, value));
}
OSErr HOSTCALL PutString(PIActionDescriptor d, DescriptorKeyID key, const char* text) {
  return Put("PutString", d, key, [&](HostObjectTable&, ActionValue* out) { return MakeStringValue(text, out); });
}
OSErr HOSTCALL PutBoolean(PIActionDescriptor d, DescriptorKeyID key, Boolean value) {
  return PutSimple("PutBoolean", d, key, BooleanValue(value));
}
OSErr HOSTCALL PutList(PIActionDescriptor d, DescriptorKeyID key, PIActionList list) {
  return Put("PutList", d, key, [&](HostObjectTable& o, ActionValue* out) { return MakeListValue(o, list, out); });
}
OSErr HOSTCALL PutObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID cls, PIActionDescriptor value) {
  return Put("PutObject", d, key,
             [&](HostObjectTable& o, ActionValue* out) { return MakeObjectValue(o, typeObject, cls, value, out); });
}
OSErr HOSTCALL PutGlobalObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID cls, PIActionDescriptor value) {
  return Put("PutGlobalObject", d, key, [&](HostObjectTable& o, ActionValue* out) {
    return MakeObjectValue(o, typeGlobalObject, cls, value, out);
  });
}
OSErr HOSTCALL PutEnumerated(PIActionDescriptor d, DescriptorKeyID key, DescriptorEnumTypeID type, DescriptorEnumID value) {
  return PutSimple("PutEnumerated", d, key, EnumeratedValue(type, value));
}
OSErr HOSTCALL PutReference(PIActionDescriptor d, DescriptorKeyID key, PIActionReference reference) {
  return Put("PutReference", d, key,
             [&](HostObjectTable& o, ActionValue* out) { return MakeReferenceValue(o, reference, out); });
}
OSErr HOSTCALL PutClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID value) {
  return PutSimple("PutClass", d, key, ClassValue(typeType, value));
}
OSErr HOSTCALL PutGlobalClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID value) {
  return PutSimple("PutGlobalClass", d, key, ClassValue(typeGlobalClass, value));
}
OSErr HOSTCALL PutAlias(PIActionDescriptor d, DescriptorKeyID key, Handle alias) {
  return Put("PutAlias", d, key, [&](HostObjectTable& o, ActionValue* out) { return MakeAliasValue(o, alias, out); });
}

// A unit double read as an integer: converted, or refused where the host's answers say so (how
// the real host answers is not known).
OSErr HOSTCALL GetInteger(PIActionDescriptor d, DescriptorKeyID key, int32_t* value) {
  return Get("GetInteger", d, key, [&](HostObjectTable&, const ActionValue& v) {
    const StandInHost* host = StandInHost::Current();
    if (v.type == typeUnitFloat && host && host->Answers().refuseIntegerOfUnitValue) return kStandInWrongType;
    return ReadInteger(v, value);
  });
}
OSErr HOSTCALL GetFloat(PIActionDescriptor d, DescriptorKeyID key, real64* value) {
  return Get("GetFloat", d, key, [&](HostObjectTable&, const ActionValue& v) { return ReadFloat(v, value); });
}
OSErr HOSTCALL GetUnitFloat(PIActionDescriptor d, DescriptorKeyID key, DescriptorUnitID* unit, real64* value) {
  return Get("GetUnitFloat", d, key,
             [&](HostObjectTable&, const ActionValue& v) { return ReadUnitFloat(v, unit, value); });
}
OSErr HOSTCALL GetStringLength(PIActionDescriptor d, DescriptorKeyID key, uint32_t* length) {
  return Get("GetStringLength", d, key,
             [&](HostObjectTable&, const ActionValue& v) { return ReadStringLength(v, length); });
}
OSErr HOSTCALL GetString(PIActionDescriptor d, DescriptorKeyID key, char* buffer, uint32_t maxLength) {
  return Get("GetString", d, key,
             [&](HostObjectTable&, const ActionValue& v) { return ReadString(v, buffer, maxLength); });
}
OSErr HOSTCALL GetBoolean(PIActionDescriptor d, DescriptorKeyID key, Boolean* value) {
  return Get("GetBoolean", d, key, [&](HostObjectTable&, const ActionValue& v) { return ReadBoolean(v, value); });
}
OSErr HOSTCALL GetList(PIActionDescriptor d, DescriptorKeyID key, PIActionList* value) {
  return Get("GetList", d, key, [&](HostObjectTable& o, const ActionValue& v) { return ReadList(o, v, value); });
}
OSErr HOSTCALL GetObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* cls, PIActionDescriptor* value) {
  return Get("GetObject", d, key,
             [&](HostObjectTable& o, const ActionValue& v) { return ReadObject(o, v, typeObject, cls, value); });
}
OSErr HOSTCALL GetGlobalObject(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* cls, PIActionDescriptor* value) {
  return Get("GetGlobalObject", d, key, [&](HostObjectTable& o, const ActionValue& v) {
    return ReadObject(o, v, typeGlobalObject, cls, value);
  });
}
OSErr HOSTCALL GetEnumerated(PIActionDescriptor d, DescriptorKeyID key, DescriptorEnumTypeID* type, DescriptorEnumID* value) {
  return Get("GetEnumerated", d, key,
             [&](HostObjectTable&, const ActionValue& v) { return ReadEnumerated(v, type, value); });
}
OSErr HOSTCALL GetReference(PIActionDescriptor d, DescriptorKeyID key, PIActionReference* value) {
  return Get("GetReference", d, key,
             [&](HostObjectTable& o, const ActionValue& v) { return ReadReference(o, v, value); });
}
OSErr HOSTCALL GetClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* value) {
  return Get("GetClass", d, key, [&](HostObjectTable&, const ActionValue& v) { return ReadClass(v, value); });
}
OSErr HOSTCALL GetGlobalClass(PIActionDescriptor d, DescriptorKeyID key, DescriptorClassID* value) {
  return Get("GetGlobalClass", d, key, [&](HostObjectTable&, const ActionValue& v) { return ReadClass(v, value); });
}
OSErr HOSTCALL GetAlias(PIActionDescriptor d, DescriptorKeyID key, Handle* value) {
  return Get("GetAlias", d, key, [&](HostObjectTable& o, const ActionValue& v) { return ReadAlias(o, v, value); });
}

OSErr HOSTCALL HasKeys(PIActionDescriptor d, DescriptorKeyID* keys, Boolean* has) {
  SuiteCall call = Enter("HasKeys");
  if (call.status) return OSErr(call.status);
  DescriptorData* data = call.Objects().Descriptor(d);
  if (!data || !keys || !has) return kStandInParamError;
  *has = 1;
  for (; *keys != 0; ++keys) {
    if (!data->Find(*keys)) *has = 0;
  }
  return 0;
}

OSErr HOSTCALL PutIntegers(PIActionDescriptor d, DescriptorKeyID key, uint32_t count, int32_t* values) {
  return Put("PutIntegers", d, key,
             [&](HostObjectTable&, ActionValue* out) { return MakeIntegersValue(count, values, out); });
}
OSErr HOSTCALL GetIntegers(PIActionDescriptor d, DescriptorKeyID key, uint32_t count, int32_t* values) {
  return Get("GetIntegers", d, key,
             [&](HostObjectTable&, const ActionValue& v) { return ReadIntegers(v, count, values); });
}

// The flattened form of a descriptor is the host's private format; this stand-in has none.
OSErr HOSTCALL AsHandle(PIActionDescriptor, PIDescriptorHandle*) {
  SuiteCall call = Enter("AsHandle");
  return call.status ? OSErr(call.status) : kStandInNotImplemented;
}
OSErr HOSTCALL HandleToDescriptor(PIDescriptorHandle, PIActionDescriptor*) {
  SuiteCall call = Enter("HandleToDescriptor");
  return call.status ? OSErr(call.status) : kStandInNotImplemented;
}

OSErr HOSTCALL PutZString(PIActionDescriptor d, DescriptorKeyID key, ASZString zstring) {
  return Put("PutZString", d, key,
             [&](HostObjectTable& o, ActionValue* out) { return MakeZStringValue(o, zstring, out); });
}
OSErr HOSTCALL GetZString(PIActionDescriptor d, DescriptorKeyID key, ASZString* zstring) {
  return Get("GetZString", d, key,
             [&](HostObjectTable& o, const ActionValue& v) { return ReadZString(o, v, zstring); });
}
OSErr HOSTCALL PutData(PIActionDescriptor d, DescriptorKeyID key, int32_t length, void* data) {
  return Put("PutData", d, key, [&](HostObjectTable&, ActionValue* out) { return MakeDataValue(length, data, out); });
}
OSErr HOSTCALL GetDataLength(PIActionDescriptor d, DescriptorKeyID key, int32_t* length) {
  return Get("GetDataLength", d, key,
             [&](HostObjectTable&, const ActionValue& v) { return ReadDataLength(v, length); });
}
OSErr HOSTCALL GetData(PIActionDescriptor d, DescriptorKeyID key, void* data) {
  return Get("GetData", d, key, [&](HostObjectTable&, const ActionValue& v) { return ReadData(v, data); });
}
OSErr HOSTCALL PutInteger64(PIActionDescriptor d, DescriptorKeyID key, int64_t value) {
  return PutSimple("PutInteger64", d, key, Integer64Value(value));
}
OSErr HOSTCALL GetInteger64(PIActionDescriptor d, DescriptorKeyID key, int64_t* value) {
  return Get("GetInteger64", d, key, [&](HostObjectTable&, const ActionValue& v) { return ReadInteger64(v, value); });
}

const PSActionDescriptorProcs kDescriptorSuite = {
    Make,           Free,           GetType,        GetKey,          HasKey,       GetCount,      IsEqual,
    Erase,          Clear,          PutInteger,     PutFloat,        PutUnitFloat, PutString,     PutBoolean,
    PutList,        PutObject,      PutGlobalObject, PutEnumerated,  PutReference, PutClass,      PutGlobalClass,
    PutAlias,       GetInteger,     GetFloat,       GetUnitFloat,    GetStringLength, GetString,  GetBoolean,
    GetList,        GetObject,      GetGlobalObject, GetEnumerated,  GetReference, GetClass,      GetGlobalClass,
    GetAlias,       HasKeys,        PutIntegers,    GetIntegers,     AsHandle,     HandleToDescriptor,
    PutZString,     GetZString,     PutData,        GetDataLength,   GetData,      PutInteger64,  GetInteger64,
};

}  // namespace

const PSActionDescriptorProcs* StandInDescriptorSuite() { return &kDescriptorSuite; }

}  // namespace zk
