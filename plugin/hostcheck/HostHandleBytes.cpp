#include "HostHandleBytes.h"

#include "HostSuites.h"

std::string HostHandleBytes(Handle handle) {
  if (handle == nullptr) return std::string();
  Ptr address = nullptr;
  Boolean oldLock = false;
  sPSHandle->SetLock(handle, true, &address, &oldLock);
  if (address == nullptr) return std::string();
  const int32_t size = sPSHandle->GetSize(handle);
  std::string bytes = size > 0 ? std::string(address, size_t(size)) : std::string();
  sPSHandle->SetLock(handle, oldLock, &address, &oldLock);
  return bytes;
}
