#include "EventParameters.h"

#include "FourCCText.h"
#include "HostCodes.h"

#include <cmath>
#include <sstream>

namespace zk {

bool EventParameters::Has(DescriptorKeyID key) const { return data_ && data_->Find(key); }

const ActionValue* EventParameters::Find(DescriptorKeyID key, DescriptorTypeID type, const char* what) {
  const ActionValue* value = data_ ? data_->Find(key) : nullptr;
  if (!value) {
    Refuse("The parameter " + FourCCText(key) + " is missing.");
    return nullptr;
  }
  if (value->type != type) {
    Refuse("The parameter " + FourCCText(key) + " must be " + what + ", not of type " + FourCCText(value->type) + ".");
    return nullptr;
  }
  return value;
}

bool EventParameters::Float(DescriptorKeyID key, double* value) {
  const ActionValue* v = Find(key, typeFloat, "a float");
  if (v) *value = v->number;
  return v != nullptr;
}

bool EventParameters::UnitFloat(DescriptorKeyID key, DescriptorUnitID* unit, double* value) {
  const ActionValue* v = Find(key, typeUnitFloat, "a unit float");
  if (v) {
    *unit = v->unit;
    *value = v->number;
  }
  return v != nullptr;
}

bool EventParameters::Integer(DescriptorKeyID key, int32_t* value) {
  const ActionValue* v = Find(key, typeInteger, "an integer");
  if (v) *value = int32_t(v->integer);
  return v != nullptr;
}

bool EventParameters::Text(DescriptorKeyID key, std::string* value) {
  const ActionValue* v = Find(key, typeChar, "text");
  if (v) *value = v->bytes;
  return v != nullptr;
}

bool EventParameters::Address(DescriptorKeyID key, uintptr_t* value) {
  std::string text;
  if (!Text(key, &text)) return false;
  const bool leadingZero = text.size() > 1 && text[0] == '0';
  uintptr_t address = 0;
  bool valid = !text.empty() && !leadingZero;
  for (size_t i = 0; valid && i < text.size(); ++i) {
    const char c = text[i];
    const uintptr_t digit = uintptr_t(c - '0');
    valid = c >= '0' && c <= '9' && address <= (UINTPTR_MAX - digit) / 10;
    address = address * 10 + digit;
  }
  if (!valid) return Refuse("The parameter " + FourCCText(key) + " is no address: \"" + text + "\".");
  *value = address;
  return true;
}

bool EventParameters::Enumerated(DescriptorKeyID key, DescriptorEnumTypeID type, DescriptorEnumID* value) {
  const ActionValue* v = Find(key, typeEnumerated, "an enumerated value");
  if (!v) return false;
  if (v->classId != type) {
    return Refuse("The parameter " + FourCCText(key) + " must be of the enumeration " + FourCCText(type) + ", not " +
                  FourCCText(v->classId) + ".");
  }
  *value = v->enumValue;
  return true;
}

bool EventParameters::Object(DescriptorKeyID key, DescriptorClassID cls, const DescriptorData** object) {
  const ActionValue* v = Find(key, typeObject, "an object");
  if (!v) return false;
  if (v->classId != cls || !v->object) {
    return Refuse("The parameter " + FourCCText(key) + " is an object of another class (" + FourCCText(v->classId) +
                  ") than this event takes.");
  }
  *object = v->object.get();
  return true;
}

bool EventParameters::Reference(DescriptorKeyID key, const ReferenceData** reference) {
  const ActionValue* v = Find(key, typeObjectReference, "a reference");
  if (!v) return false;
  if (!v->reference || v->reference->elements.empty()) return Refuse("The reference " + FourCCText(key) + " is empty.");
  *reference = v->reference.get();
  return true;
}

bool EventParameters::Alias(DescriptorKeyID key, NarrowTexts narrow, AliasContent* content) {
  const ActionValue* v = data_ ? data_->Find(key) : nullptr;
  if (!v || (v->type != typeAlias && v->type != typePath)) {
    Find(key, typeAlias, "an alias");  // says which
    return false;
  }
  if (!ReadAliasBytes(v->bytes, narrow, content)) return Refuse("The alias " + FourCCText(key) + " holds no path.");
  return true;
}

bool EventParameters::Refuse(const std::string& message) {
  if (problem_.empty()) problem_ = message;
  return false;
}

OSErr FailPlay(DescriptorData* result, OSErr status, const std::string& message) {
  ActionValue text;
  text.type = typeChar;
  text.bytes = message;
  result->Put(keyMessage, text);
  return status;
}

std::string NumberText(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

bool IsWholeCount(double value, int64_t limit, int64_t* count) {
  if (!(value >= 1 && value <= double(limit)) || std::floor(value) != value) return false;
  *count = int64_t(value);
  return true;
}

}  // namespace zk
