#include "HostObjectTable.h"

namespace zk {
namespace {

template <typename Opaque, typename Data>
Opaque Insert(std::map<void*, std::unique_ptr<Data>>& table, std::unique_ptr<Data> data) {
  void* key = data.get();
  table[key] = std::move(data);
  return reinterpret_cast<Opaque>(key);
}

template <typename Data>
Data* Lookup(std::map<void*, std::unique_ptr<Data>>& table, const void* key) {
  auto it = table.find(const_cast<void*>(key));
  return it == table.end() ? nullptr : it->second.get();
}

template <typename Data>
bool Remove(std::map<void*, std::unique_ptr<Data>>& table, const void* key) {
  return table.erase(const_cast<void*>(key)) == 1;
}

std::string Count(size_t n, const char* singular, const char* plural) {
  return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

}  // namespace

PIActionDescriptor HostObjectTable::NewDescriptor(DescriptorData data) {
  return Insert<PIActionDescriptor>(descriptors_, std::make_unique<DescriptorData>(std::move(data)));
}
DescriptorData* HostObjectTable::Descriptor(PIActionDescriptor d) { return Lookup(descriptors_, d); }
bool HostObjectTable::FreeDescriptor(PIActionDescriptor d) { return Remove(descriptors_, d); }

PIActionList HostObjectTable::NewList(ListData data) {
  return Insert<PIActionList>(lists_, std::make_unique<ListData>(std::move(data)));
}
ListData* HostObjectTable::List(PIActionList l) { return Lookup(lists_, l); }
bool HostObjectTable::FreeList(PIActionList l) { return Remove(lists_, l); }

PIActionReference HostObjectTable::NewReference(ReferenceData data) {
  return Insert<PIActionReference>(references_, std::make_unique<ReferenceData>(std::move(data)));
}
ReferenceData* HostObjectTable::Reference(PIActionReference r) { return Lookup(references_, r); }
bool HostObjectTable::FreeReference(PIActionReference r) { return Remove(references_, r); }

Handle HostObjectTable::NewHandle(size_t size) {
  auto handle = std::make_unique<HostHandle>();
  handle->storage.assign(size ? size : 1, '\0');
  handle->size = size;
  handle->master = handle->storage.data();
  return reinterpret_cast<Handle>(Insert<char**>(handles_, std::move(handle)));
}

Handle HostObjectTable::NewHandleWith(const std::string& bytes) {
  Handle handle = NewHandle(bytes.size());
  if (!bytes.empty()) HandleOf(handle)->storage.assign(bytes.begin(), bytes.end());
  HandleOf(handle)->master = HandleOf(handle)->storage.data();
  return handle;
}

HostHandle* HostObjectTable::HandleOf(Handle h) { return Lookup(handles_, h); }

bool HostObjectTable::ResizeHandle(Handle h, size_t size) {
  HostHandle* handle = HandleOf(h);
  if (!handle) return false;
  handle->storage.resize(size ? size : 1, '\0');
  handle->size = size;
  handle->master = handle->storage.data();
  return true;
}

bool HostObjectTable::DisposeHandle(Handle h) { return Remove(handles_, h); }

ASZString HostObjectTable::NewZString(std::u16string text) {
  auto zstring = std::make_unique<HostZString>();
  zstring->text = std::move(text);
  return Insert<ASZString>(zstrings_, std::move(zstring));
}

HostZString* HostObjectTable::ZString(ASZString z) {
  if (z == EmptyZString()) return &empty_;
  return Lookup(zstrings_, z);
}

ASZString HostObjectTable::EmptyZString() { return reinterpret_cast<ASZString>(&empty_); }

bool HostObjectTable::ReleaseZString(ASZString z) {
  if (z == EmptyZString()) return true;
  HostZString* zstring = ZString(z);
  if (!zstring) return false;
  if (--zstring->references == 0) Remove(zstrings_, z);
  return true;
}

LiveObjectCounts HostObjectTable::Live() const {
  return {descriptors_.size(), lists_.size(), references_.size(), handles_.size(), zstrings_.size()};
}

std::string HostObjectTable::DescribeLive() const {
  LiveObjectCounts live = Live();
  if (live.Total() == 0) return "none";
  std::string text;
  auto add = [&](size_t n, const char* singular, const char* plural) {
    if (n == 0) return;
    if (!text.empty()) text += ", ";
    text += Count(n, singular, plural);
  };
  add(live.descriptors, "descriptor", "descriptors");
  add(live.lists, "list", "lists");
  add(live.references, "reference", "references");
  add(live.handles, "handle", "handles");
  add(live.zstrings, "ZString", "ZStrings");
  return text;
}

void HostObjectTable::Clear() {
  descriptors_.clear();
  lists_.clear();
  references_.clear();
  handles_.clear();
  zstrings_.clear();
}

}  // namespace zk
