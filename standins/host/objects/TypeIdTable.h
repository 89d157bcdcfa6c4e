// The host's string IDs ("document", "target", or any identifier text) and their type IDs. A few
// common string IDs map to their four-character codes; any other string gets a runtime ID that
// stays the same for the life of the table. Runtime IDs lie below 0x20000000, so they can never be
// mistaken for a four-character code of printable characters.
#pragma once

#include "HostTypes.h"

#include <map>
#include <string>

namespace zk {

class TypeIdTable {
 public:
  TypeIdTable();
  DescriptorTypeID ToTypeId(const std::string& stringId);
  bool ToStringId(DescriptorTypeID typeId, std::string* stringId) const;
  // Makes newId a second name of existingId's type ID; false when existingId is unknown or newId is taken.
  bool MakeAlias(const std::string& newId, const std::string& existingId);

 private:
  std::map<std::string, DescriptorTypeID> byString_;
  std::map<DescriptorTypeID, std::string> byType_;
  DescriptorTypeID nextRuntimeId_ = 0x00001000;
};

}  // namespace zk
