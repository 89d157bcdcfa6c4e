#include "ActionValue.h"

namespace zk {
namespace {

template <typename T>
bool SameShared(const std::shared_ptr<const T>& a, const std::shared_ptr<const T>& b) {
  if (!a || !b) return !a && !b;
  return *a == *b;
}

}  // namespace

bool operator==(const ActionValue& a, const ActionValue& b) {
  return a.type == b.type && a.integer == b.integer && a.number == b.number && a.unit == b.unit &&
         a.flag == b.flag && a.classId == b.classId && a.enumValue == b.enumValue && a.bytes == b.bytes &&
         SameShared(a.object, b.object) && SameShared(a.list, b.list) && SameShared(a.reference, b.reference);
}

bool operator==(const ReferenceElement& a, const ReferenceElement& b) {
  return a.desiredClass == b.desiredClass && a.form == b.form && a.name == b.name && a.number == b.number &&
         a.offset == b.offset && a.enumType == b.enumType && a.enumValue == b.enumValue && a.property == b.property;
}

bool operator==(const DescriptorData& a, const DescriptorData& b) { return a.entries == b.entries; }
bool operator==(const ListData& a, const ListData& b) { return a.items == b.items; }
bool operator==(const ReferenceData& a, const ReferenceData& b) { return a.elements == b.elements; }

const ActionValue* DescriptorData::Find(DescriptorKeyID key) const {
  for (const auto& entry : entries) {
    if (entry.first == key) return &entry.second;
  }
  return nullptr;
}

void DescriptorData::Put(DescriptorKeyID key, ActionValue value) {
  for (auto& entry : entries) {
    if (entry.first == key) {
      entry.second = std::move(value);
      return;
    }
  }
  entries.emplace_back(key, std::move(value));
}

bool DescriptorData::Erase(DescriptorKeyID key) {
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (it->first == key) {
      entries.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace zk
