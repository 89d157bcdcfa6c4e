// The host's action data: typed values, descriptors (keyed values), lists and references. These are
// plain values; the opaque pointers the plug-in holds are owned by HostObjectTable.
#pragma once

#include "HostTypes.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zk {

struct DescriptorData;
struct ListData;
struct ReferenceData;

struct ActionValue {
  DescriptorTypeID type = 0;    // typeInteger, typeFloat, ... (HostCodes.h)
  int64_t integer = 0;          // typeInteger, typeSInt64
  double number = 0;            // typeFloat, typeUnitFloat
  DescriptorUnitID unit = 0;    // typeUnitFloat
  bool flag = false;            // typeBoolean
  uint32_t classId = 0;         // object class, class value, enumeration type
  uint32_t enumValue = 0;       // typeEnumerated
  std::string bytes;            // text (UTF-8), alias contents (a zero-terminated path), raw data
  // Stored values are never changed after a put, so copies may share them.
  std::shared_ptr<const DescriptorData> object;
  std::shared_ptr<const ListData> list;
  std::shared_ptr<const ReferenceData> reference;
};

bool operator==(const ActionValue& a, const ActionValue& b);

struct DescriptorData {
  std::vector<std::pair<DescriptorKeyID, ActionValue>> entries;  // in the order first put

  const ActionValue* Find(DescriptorKeyID key) const;
  void Put(DescriptorKeyID key, ActionValue value);  // replaces an existing key in place
  bool Erase(DescriptorKeyID key);
};

struct ListData {
  std::vector<ActionValue> items;
};

struct ReferenceElement {
  DescriptorClassID desiredClass = 0;
  DescriptorFormID form = 0;      // formName, formIndex, ... (HostCodes.h)
  std::string name;               // formName
  uint32_t number = 0;            // formIndex, formIdentifier
  int32_t offset = 0;             // formOffset
  DescriptorEnumTypeID enumType = 0;
  DescriptorEnumID enumValue = 0;  // formEnumerated
  DescriptorKeyID property = 0;    // formProperty
};

bool operator==(const ReferenceElement& a, const ReferenceElement& b);

// The first element is the innermost (the one the Get* calls read); the rest are its containers.
struct ReferenceData {
  std::vector<ReferenceElement> elements;
};

bool operator==(const DescriptorData& a, const DescriptorData& b);
bool operator==(const ListData& a, const ListData& b);
bool operator==(const ReferenceData& a, const ReferenceData& b);

}  // namespace zk
