// Every host object handed to a plug-in (descriptors, lists, references, handles, ZStrings), by
// the opaque pointer the plug-in holds. A pointer that is not live (never made, already freed, or
// foreign) is looked up as null, so the suites answer an error instead of touching freed memory.
#pragma once

#include "ActionValue.h"
#include "HostTypes.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zk {

struct HostHandle {
  char* master = nullptr;     // must stay first: the plug-in's Handle is the address of this pointer
  std::vector<char> storage;  // never empty, so that master is never null
  size_t size = 0;
  bool locked = false;
};

struct HostZString {
  std::u16string text;
  int references = 1;
};

struct LiveObjectCounts {
  size_t descriptors = 0;
  size_t lists = 0;
  size_t references = 0;
  size_t handles = 0;
  size_t zstrings = 0;
  size_t Total() const { return descriptors + lists + references + handles + zstrings; }
};

class HostObjectTable {
 public:
  PIActionDescriptor NewDescriptor(DescriptorData data = {});
  DescriptorData* Descriptor(PIActionDescriptor descriptor);
  bool FreeDescriptor(PIActionDescriptor descriptor);

  PIActionList NewList(ListData data = {});
  ListData* List(PIActionList list);
  bool FreeList(PIActionList list);

  PIActionReference NewReference(ReferenceData data = {});
  ReferenceData* Reference(PIActionReference reference);
  bool FreeReference(PIActionReference reference);

  Handle NewHandle(size_t size);
  Handle NewHandleWith(const std::string& bytes);
  HostHandle* HandleOf(Handle handle);
  bool ResizeHandle(Handle handle, size_t size);
  bool DisposeHandle(Handle handle);

  ASZString NewZString(std::u16string text);
  HostZString* ZString(ASZString zstring);  // also finds the permanent empty string
  ASZString EmptyZString();                 // permanent; AddRef and Release leave it alone
  bool ReleaseZString(ASZString zstring);   // drops one reference; the last one frees it

  LiveObjectCounts Live() const;
  std::string DescribeLive() const;  // e.g. "2 descriptors, 1 handle" or "none"
  void Clear();                      // frees everything (the host's end)

 private:
  std::map<void*, std::unique_ptr<DescriptorData>> descriptors_;
  std::map<void*, std::unique_ptr<ListData>> lists_;
  std::map<void*, std::unique_ptr<ReferenceData>> references_;
  std::map<void*, std::unique_ptr<HostHandle>> handles_;
  std::map<void*, std::unique_ptr<HostZString>> zstrings_;
  HostZString empty_{u"", 1};
};

}  // namespace zk
