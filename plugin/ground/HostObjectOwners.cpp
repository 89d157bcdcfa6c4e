#include "HostObjectOwners.h"

namespace {

// A release cannot be made good by anyone, and must not escape a destructor.
template <class Release>
void Quietly(Release release) noexcept {
  try {
    release();
  } catch (...) {
  }
}

}  // namespace

void FreeHostDescriptor(PIActionDescriptor descriptor) noexcept {
  Quietly([&] { sPSActionDescriptor->Free(descriptor); });
}
void FreeHostReference(PIActionReference reference) noexcept {
  Quietly([&] { sPSActionReference->Free(reference); });
}
void FreeHostList(PIActionList list) noexcept {
  Quietly([&] { sPSActionList->Free(list); });
}
void DisposeHostHandle(Handle handle) noexcept {
  Quietly([&] { sPSHandle->Dispose(handle); });
}
void ReleaseHostZString(ASZString text) noexcept {
  Quietly([&] { sASZString->Release(text); });
}

int32_t MakeDescriptor(DescriptorHolder& holder) {
  PIActionDescriptor made = nullptr;
  const int32_t status = sPSActionDescriptor->Make(&made);
  holder.Reset(status == 0 ? made : nullptr);
  return status;
}

int32_t MakeReference(ReferenceHolder& holder) {
  PIActionReference made = nullptr;
  const int32_t status = sPSActionReference->Make(&made);
  holder.Reset(status == 0 ? made : nullptr);
  return status;
}
