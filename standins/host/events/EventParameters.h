// Reading a played event's parameters in a handler. Each reader checks that the key is there with
// the type the event needs; the first problem is kept as a message that names the key, and
// FailPlay puts it into the play's result, where the plug-in reads it.
//
//   zk::EventParameters parameters(data);
//   double width = 0;
//   if (!parameters.Float(FourCC("Hrzn"), &width)) {
//     return zk::FailPlay(result, zk::kStandInParamError, parameters.Problem());
//   }
#pragma once

#include "ActionValue.h"
#include "AliasBytes.h"
#include "HostTypes.h"

#include <cstdint>
#include <string>

namespace zk {

class EventParameters {
 public:
  explicit EventParameters(const DescriptorData* data) : data_(data) {}  // null: the play had none

  bool Has(DescriptorKeyID key) const;
  bool Float(DescriptorKeyID key, double* value);
  bool UnitFloat(DescriptorKeyID key, DescriptorUnitID* unit, double* value);
  bool Integer(DescriptorKeyID key, int32_t* value);
  bool Text(DescriptorKeyID key, std::string* value);
  // An address in this process as decimal text (unsigned, no leading zeros); "0" reads as 0.
  bool Address(DescriptorKeyID key, uintptr_t* value);
  bool Enumerated(DescriptorKeyID key, DescriptorEnumTypeID type, DescriptorEnumID* value);
  // An object of exactly that class; *object stays valid as long as these parameters.
  bool Object(DescriptorKeyID key, DescriptorClassID cls, const DescriptorData** object);
  bool Reference(DescriptorKeyID key, const ReferenceData** reference);
  // What an alias (or path value) names (AliasBytes.h); its 8-bit text read as narrow says.
  bool Alias(DescriptorKeyID key, NarrowTexts narrow, AliasContent* content);

  // Records a problem of the caller's own finding (the first one counts) and answers false.
  bool Refuse(const std::string& message);
  const std::string& Problem() const { return problem_; }

 private:
  const ActionValue* Find(DescriptorKeyID key, DescriptorTypeID type, const char* what);

  const DescriptorData* data_;
  std::string problem_;
};

// Puts the message into the play's result and answers status (which must not be 0).
OSErr FailPlay(DescriptorData* result, OSErr status, const std::string& message);

// A number for a message: "7", "6.5", "1e+09".
std::string NumberText(double value);

// A number the events take as a count of pixels: whole, at least 1, at most limit.
bool IsWholeCount(double value, int64_t limit, int64_t* count);

}  // namespace zk
