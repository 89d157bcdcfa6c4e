#include "TypeIdTable.h"

#include "HostCodes.h"

namespace zk {
namespace {

struct KnownId {
  const char* stringId;
  uint32_t typeId;
};

constexpr KnownId kKnownIds[] = {
    {"null", typeNull},           {"document", classDocument}, {"application", classApplication},
    {"ordinal", typeOrdinal},     {"targetEnum", enumTarget},  {"message", keyMessage},
};

}  // namespace

TypeIdTable::TypeIdTable() {
  for (const KnownId& known : kKnownIds) {
    byString_[known.stringId] = known.typeId;
    byType_[known.typeId] = known.stringId;
  }
}

DescriptorTypeID TypeIdTable::ToTypeId(const std::string& stringId) {
  auto it = byString_.find(stringId);
  if (it != byString_.end()) return it->second;
  DescriptorTypeID id = nextRuntimeId_++;
  byString_[stringId] = id;
  byType_[id] = stringId;
  return id;
}

bool TypeIdTable::ToStringId(DescriptorTypeID typeId, std::string* stringId) const {
  auto it = byType_.find(typeId);
  if (it == byType_.end()) return false;
  *stringId = it->second;
  return true;
}

bool TypeIdTable::MakeAlias(const std::string& newId, const std::string& existingId) {
  auto existing = byString_.find(existingId);
  if (existing == byString_.end() || byString_.count(newId)) return false;
  byString_[newId] = existing->second;
  return true;
}

}  // namespace zk
