#include "ValueCodec.h"

#include "HostCodes.h"
#include "HostStatus.h"
#include "NarrowText.h"
#include "StandInHost.h"
#include "TextConvert.h"

#include <cstdint>
#include <cstring>

namespace zk {
namespace {

// Texts are kept whole (UTF-8) inside the host, as the real host keeps them in Unicode; their 8-bit
// form, in and out, is the host's narrow text, and their ZString form is whole.
NarrowTexts HostNarrowTexts() {
  const StandInHost* host = StandInHost::Current();
  return host ? host->Answers().narrowTexts : NarrowTexts::Ansi;
}

ActionValue Typed(DescriptorTypeID type) {
  ActionValue v;
  v.type = type;
  return v;
}

OSErr Expect(const ActionValue& v, DescriptorTypeID type, const void* out) {
  if (!out) return kStandInParamError;
  return v.type == type ? OSErr(0) : kStandInWrongType;
}

}  // namespace

ActionValue IntegerValue(int32_t value) {
  ActionValue v = Typed(typeInteger);
  v.integer = value;
  return v;
}

ActionValue Integer64Value(int64_t value) {
  ActionValue v = Typed(typeSInt64);
  v.integer = value;
  return v;
}

ActionValue FloatValue(double value) {
  ActionValue v = Typed(typeFloat);
  v.number = value;
  return v;
}

ActionValue UnitFloatValue(DescriptorUnitID unit, double value) {
  ActionValue v = Typed(typeUnitFloat);
  v.unit = unit;
  v.number = value;
  return v;
}

ActionValue BooleanValue(Boolean value) {
  ActionValue v = Typed(typeBoolean);
  v.flag = value != 0;
  return v;
}

ActionValue EnumeratedValue(DescriptorEnumTypeID type, DescriptorEnumID value) {
  ActionValue v = Typed(typeEnumerated);
  v.classId = type;
  v.enumValue = value;
  return v;
}

ActionValue ClassValue(DescriptorTypeID type, DescriptorClassID value) {
  ActionValue v = Typed(type);
  v.classId = value;
  return v;
}

OSErr MakeStringValue(const char* text, ActionValue* out) {
  if (!text) return kStandInParamError;
  *out = Typed(typeChar);
  out->bytes = Utf16ToUtf8(NarrowToUtf16(text, HostNarrowTexts()));
  return 0;
}

OSErr MakeObjectValue(HostObjectTable& objects, DescriptorTypeID type, DescriptorClassID cls,
                      PIActionDescriptor descriptor, ActionValue* out) {
  DescriptorData* data = objects.Descriptor(descriptor);
  if (!data) return kStandInParamError;
  *out = Typed(type);
  out->classId = cls;
  out->object = std::make_shared<const DescriptorData>(*data);
  return 0;
}

OSErr MakeListValue(HostObjectTable& objects, PIActionList list, ActionValue* out) {
  ListData* data = objects.List(list);
  if (!data) return kStandInParamError;
  *out = Typed(typeValueList);
  out->list = std::make_shared<const ListData>(*data);
  return 0;
}

OSErr MakeReferenceValue(HostObjectTable& objects, PIActionReference reference, ActionValue* out) {
  ReferenceData* data = objects.Reference(reference);
  if (!data) return kStandInParamError;
  *out = Typed(typeObjectReference);
  out->reference = std::make_shared<const ReferenceData>(*data);
  return 0;
}

OSErr MakeAliasValue(HostObjectTable& objects, Handle alias, ActionValue* out) {
  HostHandle* handle = objects.HandleOf(alias);
  if (!handle) return kStandInParamError;
  *out = Typed(typeAlias);
  out->bytes.assign(handle->storage.data(), handle->size);
  return 0;
}

OSErr MakeDataValue(int32_t length, const void* data, ActionValue* out) {
  if (length < 0 || (length > 0 && !data)) return kStandInParamError;
  *out = Typed(typeRawData);
  out->bytes.assign(static_cast<const char*>(data), size_t(length));
  return 0;
}

OSErr MakeZStringValue(HostObjectTable& objects, ASZString zstring, ActionValue* out) {
  HostZString* z = objects.ZString(zstring);
  if (!z) return kStandInParamError;
  *out = Typed(typeChar);
  out->bytes = Utf16ToUtf8(z->text);
  return 0;
}

OSErr MakeIntegersValue(uint32_t count, const int32_t* values, ActionValue* out) {
  if (count > 0 && !values) return kStandInParamError;
  auto list = std::make_shared<ListData>();
  for (uint32_t i = 0; i < count; ++i) list->items.push_back(IntegerValue(values[i]));
  *out = Typed(typeValueList);
  out->list = std::move(list);
  return 0;
}

// A measurement (a document's width, say) read as an integer gives its whole part, as the host
// does: the module reads a document's size both ways. A number with no whole part that fits 32
// bits is no integer at all.
OSErr ReadInteger(const ActionValue& v, int32_t* out) {
  if (out && (v.type == typeUnitFloat || v.type == typeFloat)) {
    if (!(v.number > double(INT32_MIN) - 1.0 && v.number < double(INT32_MAX) + 1.0)) return kStandInWrongType;
    *out = int32_t(v.number);
    return 0;
  }
  if (OSErr e = Expect(v, typeInteger, out)) return e;
  *out = int32_t(v.integer);
  return 0;
}

OSErr ReadInteger64(const ActionValue& v, int64_t* out) {
  if (OSErr e = Expect(v, typeSInt64, out)) return e;
  *out = v.integer;
  return 0;
}

// A unit double read as a plain double gives its number in its own unit, as the host does: public
// scripts read a document's 'Rslt', 'Wdth' and 'Hght' that way.
OSErr ReadFloat(const ActionValue& v, real64* out) {
  if (out && v.type == typeUnitFloat) {
    *out = v.number;
    return 0;
  }
  if (OSErr e = Expect(v, typeFloat, out)) return e;
  *out = v.number;
  return 0;
}

OSErr ReadUnitFloat(const ActionValue& v, DescriptorUnitID* unit, real64* out) {
  if (OSErr e = Expect(v, typeUnitFloat, out)) return e;
  if (unit) *unit = v.unit;
  *out = v.number;
  return 0;
}

OSErr ReadStringLength(const ActionValue& v, uint32_t* length) {
  if (OSErr e = Expect(v, typeChar, length)) return e;
  *length = uint32_t(Utf8ToNarrow(v.bytes, HostNarrowTexts()).size());
  return 0;
}

OSErr ReadString(const ActionValue& v, char* buffer, uint32_t maxLength) {
  if (OSErr e = Expect(v, typeChar, buffer)) return e;
  if (maxLength == 0) return kStandInParamError;
  const std::string narrow = Utf8ToNarrow(v.bytes, HostNarrowTexts());
  size_t n = narrow.size() < maxLength - 1 ? narrow.size() : maxLength - 1;
  std::memcpy(buffer, narrow.data(), n);
  buffer[n] = '\0';
  return 0;
}

OSErr ReadBoolean(const ActionValue& v, Boolean* out) {
  if (OSErr e = Expect(v, typeBoolean, out)) return e;
  *out = v.flag ? 1 : 0;
  return 0;
}

OSErr ReadEnumerated(const ActionValue& v, DescriptorEnumTypeID* type, DescriptorEnumID* out) {
  if (OSErr e = Expect(v, typeEnumerated, out)) return e;
  if (type) *type = v.classId;
  *out = v.enumValue;
  return 0;
}

OSErr ReadClass(const ActionValue& v, DescriptorClassID* out) {
  if (!out) return kStandInParamError;
  if (v.type != typeType && v.type != typeGlobalClass) return kStandInWrongType;
  *out = v.classId;
  return 0;
}

OSErr ReadObject(HostObjectTable& objects, const ActionValue& v, DescriptorTypeID type, DescriptorClassID* cls,
                 PIActionDescriptor* out) {
  if (OSErr e = Expect(v, type, out)) return e;
  if (cls) *cls = v.classId;
  *out = objects.NewDescriptor(v.object ? *v.object : DescriptorData());
  return 0;
}

OSErr ReadList(HostObjectTable& objects, const ActionValue& v, PIActionList* out) {
  if (OSErr e = Expect(v, typeValueList, out)) return e;
  *out = objects.NewList(v.list ? *v.list : ListData());
  return 0;
}

OSErr ReadReference(HostObjectTable& objects, const ActionValue& v, PIActionReference* out) {
  if (OSErr e = Expect(v, typeObjectReference, out)) return e;
  *out = objects.NewReference(v.reference ? *v.reference : ReferenceData());
  return 0;
}

OSErr ReadAlias(HostObjectTable& objects, const ActionValue& v, Handle* out) {
  if (!out) return kStandInParamError;
  if (v.type != typeAlias && v.type != typePath) return kStandInWrongType;
  *out = objects.NewHandleWith(v.bytes);
  return 0;
}

OSErr ReadDataLength(const ActionValue& v, int32_t* length) {
  if (OSErr e = Expect(v, typeRawData, length)) return e;
  *length = int32_t(v.bytes.size());
  return 0;
}

OSErr ReadData(const ActionValue& v, void* out) {
  if (OSErr e = Expect(v, typeRawData, out)) return e;
  std::memcpy(out, v.bytes.data(), v.bytes.size());
  return 0;
}

OSErr ReadZString(HostObjectTable& objects, const ActionValue& v, ASZString* out) {
  if (OSErr e = Expect(v, typeChar, out)) return e;
  *out = objects.NewZString(Utf8ToUtf16(v.bytes));
  return 0;
}

OSErr ReadIntegers(const ActionValue& v, uint32_t count, int32_t* out) {
  if (OSErr e = Expect(v, typeValueList, out)) return e;
  if (!v.list || v.list->items.size() < count) return kStandInBadIndex;
  for (uint32_t i = 0; i < count; ++i) {
    if (v.list->items[i].type != typeInteger) return kStandInWrongType;
  }
  for (uint32_t i = 0; i < count; ++i) out[i] = int32_t(v.list->items[i].integer);
  return 0;
}

}  // namespace zk
