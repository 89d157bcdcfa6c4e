#include "HostObjectHolders.h"

// A holder only frees what it holds, and holding something means its suite was acquired already:
// the release cannot raise, but a destructor must not let anything escape either way.

DescriptorHolder::DescriptorHolder(bool make) {
  if (make) sPSActionDescriptor->Make(&descriptor);
}

DescriptorHolder::~DescriptorHolder() {
  if (descriptor == nullptr || !owns) return;
  try {
    sPSActionDescriptor->Free(descriptor);
  } catch (...) {
  }
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
