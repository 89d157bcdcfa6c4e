// Owners of the host objects the module receives or makes: descriptors, references, lists, host
// handles (aliases) and ZStrings, each released through the host's own call on every path out of
// the scope, exceptions included. A release cannot raise here: the suite was acquired already when
// the object was made, and a destructor lets nothing escape either way.
#pragma once

#include "HostSuites.h"
#include "UniqueResource.h"

template <class Object, void (*Release)(Object) noexcept>
struct HostObjectTraits {
  using Value = Object;
  static Value Empty() noexcept { return nullptr; }
  static bool IsValid(Value object) noexcept { return object != nullptr; }
  static void Close(Value object) noexcept { Release(object); }
};

void FreeHostDescriptor(PIActionDescriptor descriptor) noexcept;
void FreeHostReference(PIActionReference reference) noexcept;
void FreeHostList(PIActionList list) noexcept;
void DisposeHostHandle(Handle handle) noexcept;
void ReleaseHostZString(ASZString text) noexcept;

using DescriptorHolder = UniqueResource<HostObjectTraits<PIActionDescriptor, FreeHostDescriptor>>;
using ReferenceHolder = UniqueResource<HostObjectTraits<PIActionReference, FreeHostReference>>;
using ListHolder = UniqueResource<HostObjectTraits<PIActionList, FreeHostList>>;
using HostHandleHolder = UniqueResource<HostObjectTraits<Handle, DisposeHostHandle>>;
using ZStringHolder = UniqueResource<HostObjectTraits<ASZString, ReleaseHostZString>>;

// Makes a new, empty descriptor or reference into the holder (releasing what it held). The host's
// status; the holder stays empty when it is not 0. Raises when the suite cannot be had.
[[nodiscard]] int32_t MakeDescriptor(DescriptorHolder& holder);
[[nodiscard]] int32_t MakeReference(ReferenceHolder& holder);
