#include "HostObjectHolders.h"

// A holder only frees what it holds, and holding something means its suite was acquired already:
// the release cannot raise, but a destructor must not let anything escape either way.

DescriptorHolder::DescriptorHolder(bool make) {
  if (make) sPSActionDescriptor->Make(&descriptor);
}

DescriptorHolder::~DescriptorHolder() {
  try {
    Free();
  } catch (...) {
  }
}

PIActionDescriptor DescriptorHolder::Release() {
  PIActionDescriptor held = descriptor;
  descriptor = nullptr;
  return held;
}

void DescriptorHolder::Free() {
  if (descriptor == nullptr || !owns) return;
  PIActionDescriptor held = Release();
  sPSActionDescriptor->Free(held);
}

HostHandleHolder::~HostHandleHolder() {
  try {
    Dispose();
  } catch (...) {
  }
}

void HostHandleHolder::Dispose() {
  if (handle == nullptr) return;
  Handle held = handle;
  handle = nullptr;
  sPSHandle->Dispose(held);
}

ReferenceHolder::ReferenceHolder(bool make) {
  if (make) sPSActionReference->Make(&reference);
}

ReferenceHolder::~ReferenceHolder() {
  if (reference == nullptr || !owns) return;
  try {
    sPSActionReference->Free(reference);
  } catch (...) {
  }
}
