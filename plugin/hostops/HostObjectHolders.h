// Scope-bound owners of one action descriptor or reference: released with the host's Free on every
// path out of the scope, exceptions included.
#pragma once

#include "HostSuites.h"

class DescriptorHolder {
 public:
  explicit DescriptorHolder(bool make);
  ~DescriptorHolder();
  DescriptorHolder(const DescriptorHolder&) = delete;
  DescriptorHolder& operator=(const DescriptorHolder&) = delete;

  PIActionDescriptor Get() const { return descriptor; }
  // For host calls that hand out a new descriptor (the holder then owns it).
  PIActionDescriptor* Address() { return &descriptor; }

 private:
  bool owns = true;
  PIActionDescriptor descriptor = nullptr;
};

class ReferenceHolder {
 public:
  explicit ReferenceHolder(bool make);
  ~ReferenceHolder();
  ReferenceHolder(const ReferenceHolder&) = delete;
  ReferenceHolder& operator=(const ReferenceHolder&) = delete;

  PIActionReference Get() const { return reference; }
  PIActionReference* Address() { return &reference; }

 private:
  bool owns = true;
  PIActionReference reference = nullptr;
};
