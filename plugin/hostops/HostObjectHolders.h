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
  // Hands the descriptor to the caller, who releases it from now on.
  PIActionDescriptor Release();
  // Releases the descriptor now rather than at the end of the scope.
  void Free();

 private:
  bool owns = true;
  PIActionDescriptor descriptor = nullptr;
};

// Owns one host handle (an alias, for instance), disposed of through the handle suite.
class HostHandleHolder {
 public:
  HostHandleHolder() = default;
  ~HostHandleHolder();
  HostHandleHolder(const HostHandleHolder&) = delete;
  HostHandleHolder& operator=(const HostHandleHolder&) = delete;

  Handle Get() const { return handle; }
  Handle* Address() { return &handle; }
  void Dispose();

 private:
  Handle handle = nullptr;
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
