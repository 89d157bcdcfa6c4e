#include "HostObjectOwners.h"

void FreeHostDescriptor(PIActionDescriptor descriptor) noexcept {
  try {
    sPSActionDescriptor->Free(descriptor);
  } catch (...) {
  }
}

void FreeHostReference(PIActionReference reference) noexcept {
  try {
    sPSActionReference->Free(reference);
  } catch (...) {
  }
}

void FreeHostList(PIActionList list) noexcept {
  try {
    sPSActionList->Free(list);
  } catch (...) {
  }
}

void DisposeHostHandle(Handle handle) noexcept {
  try {
    sPSHandle->Dispose(handle);
  } catch (...) {
  }
}

void ReleaseHostZString(ASZString text) noexcept {
  try {
    sASZString->Release(text);
  } catch (...) {
  }
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
