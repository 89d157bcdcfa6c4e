#include "StandInReferenceSuite.h"

// The action reference suite: a chain of elements, innermost first. Put* appends an element; the
// Get* procedures read the first one; GetContainer gives a new reference of the rest.
#include "HostCodes.h"
#include "HostStatus.h"
#include "StandInHost.h"
#include "SuiteCall.h"
#include "TextConvert.h"

#include <cstring>
#include <functional>

namespace zk {
namespace {

SuiteCall Enter(const char* procedure) { return EnterProcedure("PSActionReference", procedure); }

OSErr HOSTCALL Append(const char* procedure, PIActionReference r, ReferenceElement element) {
  SuiteCall call = Enter(procedure);
  if (call.status) return OSErr(call.status);
  ReferenceData* data = call.Objects().Reference(r);
  if (!data) return kStandInParamError;
  data->elements.push_back(std::move(element));
  return 0;
}

ReferenceElement Element(DescriptorClassID desiredClass, DescriptorFormID form) {
  ReferenceElement e;
  e.desiredClass = desiredClass;
  e.form = form;
  return e;
}

// Reads the first element; form 0 accepts any form.
OSErr HOSTCALL ReadFirst(const char* procedure, PIActionReference r, DescriptorFormID form, const void* out,
                const std::function<void(const ReferenceElement&)>& read) {
  SuiteCall call = Enter(procedure);
  if (call.status) return OSErr(call.status);
  ReferenceData* data = call.Objects().Reference(r);
  if (!data || !out) return kStandInParamError;
  if (data->elements.empty()) return kStandInNoSuchObject;
  const ReferenceElement& first = data->elements.front();
  if (form != 0 && first.form != form) return kStandInWrongType;
  read(first);
  return 0;
}

OSErr HOSTCALL Make(PIActionReference* r) {
  SuiteCall call = Enter("Make");
  if (call.status) return OSErr(call.status);
  if (!r) return kStandInParamError;
  *r = call.Objects().NewReference();
  return 0;
}

OSErr HOSTCALL Free(PIActionReference r) {
  SuiteCall call = Enter("Free");
  if (call.status) return OSErr(call.status);
  return call.Objects().FreeReference(r) ? OSErr(0) : kStandInParamError;
}

OSErr HOSTCALL GetForm(PIActionReference r, DescriptorFormID* value) {
  return ReadFirst("GetForm", r, 0, value, [&](const ReferenceElement& e) { *value = e.form; });
}
OSErr HOSTCALL GetDesiredClass(PIActionReference r, DescriptorClassID* value) {
  return ReadFirst("GetDesiredClass", r, 0, value, [&](const ReferenceElement& e) { *value = e.desiredClass; });
}

OSErr HOSTCALL PutName(PIActionReference r, DescriptorClassID cls, const char* name) {
  if (!name) {
    SuiteCall call = Enter("PutName");
    return call.status ? OSErr(call.status) : kStandInParamError;
  }
  ReferenceElement e = Element(cls, formName);
  e.name = name;
  return Append("PutName", r, e);
}
OSErr HOSTCALL PutIndex(PIActionReference r, DescriptorClassID cls, uint32_t value) {
  ReferenceElement e = Element(cls, formIndex);
  e.number = value;
  return Append("PutIndex", r, e);
}
OSErr HOSTCALL PutIdentifier(PIActionReference r, DescriptorClassID cls, uint32_t value) {
  ReferenceElement e = Element(cls, formIdentifier);
  e.number = value;
  return Append("PutIdentifier", r, e);
}
OSErr HOSTCALL PutOffset(PIActionReference r, DescriptorClassID cls, int32_t value) {
  ReferenceElement e = Element(cls, formOffset);
  e.offset = value;
  return Append("PutOffset", r, e);
}
OSErr HOSTCALL PutEnumerated(PIActionReference r, DescriptorClassID cls, DescriptorEnumTypeID type, DescriptorEnumID value) {
  ReferenceElement e = Element(cls, formEnumerated);
  e.enumType = type;
  e.enumValue = value;
  return Append("PutEnumerated", r, e);
}
OSErr HOSTCALL PutProperty(PIActionReference r, DescriptorClassID cls, DescriptorKeyID value) {
  ReferenceElement e = Element(cls, formProperty);
  e.property = value;
  return Append("PutProperty", r, e);
}
OSErr HOSTCALL PutClass(PIActionReference r, DescriptorClassID cls) { return Append("PutClass", r, Element(cls, formClass)); }

OSErr HOSTCALL GetNameLength(PIActionReference r, uint32_t* length) {
  return ReadFirst("GetNameLength", r, formName, length,
                   [&](const ReferenceElement& e) { *length = uint32_t(e.name.size()); });
}

// At most maxLength - 1 characters and always a terminating zero; maxLength 0 cannot hold even that.
OSErr HOSTCALL GetName(PIActionReference r, char* buffer, uint32_t maxLength) {
  if (maxLength == 0) {
    SuiteCall call = Enter("GetName");
    return call.status ? OSErr(call.status) : kStandInParamError;
  }
  return ReadFirst("GetName", r, formName, buffer, [&](const ReferenceElement& e) {
    size_t n = e.name.size() < maxLength - 1 ? e.name.size() : maxLength - 1;
    std::memcpy(buffer, e.name.data(), n);
    buffer[n] = '\0';
  });
}

OSErr HOSTCALL GetIndex(PIActionReference r, uint32_t* value) {
  return ReadFirst("GetIndex", r, formIndex, value, [&](const ReferenceElement& e) { *value = e.number; });
}
OSErr HOSTCALL GetIdentifier(PIActionReference r, uint32_t* value) {
  return ReadFirst("GetIdentifier", r, formIdentifier, value, [&](const ReferenceElement& e) { *value = e.number; });
}
OSErr HOSTCALL GetOffset(PIActionReference r, int32_t* value) {
  return ReadFirst("GetOffset", r, formOffset, value, [&](const ReferenceElement& e) { *value = e.offset; });
}
OSErr HOSTCALL GetEnumerated(PIActionReference r, DescriptorEnumTypeID* type, DescriptorEnumID* value) {
  return ReadFirst("GetEnumerated", r, formEnumerated, value, [&](const ReferenceElement& e) {
    if (type) *type = e.enumType;
    *value = e.enumValue;
  });
}
OSErr HOSTCALL GetProperty(PIActionReference r, DescriptorKeyID* value) {
  return ReadFirst("GetProperty", r, formProperty, value, [&](const ReferenceElement& e) { *value = e.property; });
}

// A reference without a container gives no reference (null) and kStandInNoSuchObject.
OSErr HOSTCALL GetContainer(PIActionReference r, PIActionReference* value) {
  SuiteCall call = Enter("GetContainer");
  if (call.status) return OSErr(call.status);
  ReferenceData* data = call.Objects().Reference(r);
  if (!data || !value) return kStandInParamError;
  if (data->elements.size() < 2) {
    *value = nullptr;
    return kStandInNoSuchObject;
  }
  ReferenceData rest;
  rest.elements.assign(data->elements.begin() + 1, data->elements.end());
  *value = call.Objects().NewReference(std::move(rest));
  return 0;
}

OSErr HOSTCALL PutNameZString(PIActionReference r, DescriptorClassID cls, ASZString zstring) {
  SuiteCall call = Enter("PutNameZString");
  if (call.status) return OSErr(call.status);
  ReferenceData* data = call.Objects().Reference(r);
  HostZString* z = call.Objects().ZString(zstring);
  if (!data || !z) return kStandInParamError;
  ReferenceElement e = Element(cls, formName);
  e.name = Utf16ToUtf8(z->text);
  data->elements.push_back(std::move(e));
  return 0;
}

OSErr HOSTCALL GetNameZString(PIActionReference r, ASZString* zstring) {
  SuiteCall call = Enter("GetNameZString");
  if (call.status) return OSErr(call.status);
  ReferenceData* data = call.Objects().Reference(r);
  if (!data || !zstring) return kStandInParamError;
  if (data->elements.empty()) return kStandInNoSuchObject;
  if (data->elements.front().form != formName) return kStandInWrongType;
  *zstring = call.Objects().NewZString(Utf8ToUtf16(data->elements.front().name));
  return 0;
}

const PSActionReferenceProcs kReferenceSuite = {
    Make,          Free,          GetForm,       GetDesiredClass, PutName,       PutIndex,       PutIdentifier,
    PutOffset,     PutEnumerated, PutProperty,   PutClass,        GetNameLength, GetName,        GetIndex,
    GetIdentifier, GetOffset,     GetEnumerated, GetProperty,     GetContainer,  PutNameZString, GetNameZString,
};

}  // namespace

const PSActionReferenceProcs* StandInReferenceSuite() { return &kReferenceSuite; }

}  // namespace zk
