#include "StandInHandleSuite.h"

// The handle suite: the host's relocatable blocks. A Handle is the address of the block's master
// pointer; locking only records the state (the stand-in never moves a block behind the caller's back).
#include "HostStatus.h"
#include "StandInHost.h"
#include "SuiteCall.h"

namespace zk {
namespace {

constexpr int32_t kLargestHandle = 256 * 1024 * 1024;

SuiteCall Enter(const char* procedure) { return EnterProcedure("PSHandle", procedure); }

Handle HOSTCALL New(int32_t size) {
  SuiteCall call = Enter("New");
  if (call.status || size < 0 || size > kLargestHandle) return nullptr;
  return call.Objects().NewHandle(size_t(size));
}

void HOSTCALL Dispose(Handle h) {
  SuiteCall call = Enter("Dispose");
  if (call.status) return;
  call.Objects().DisposeHandle(h);
}

void HOSTCALL DisposeRegularHandle(Handle h) {
  SuiteCall call = Enter("DisposeRegularHandle");
  if (call.status) return;
  call.Objects().DisposeHandle(h);
}

void HOSTCALL SetLock(Handle h, Boolean lock, Ptr* address, Boolean* oldLock) {
  SuiteCall call = Enter("SetLock");
  HostHandle* handle = call.status ? nullptr : call.Objects().HandleOf(h);
  if (!handle) {
    if (address) *address = nullptr;
    return;
  }
  if (oldLock) *oldLock = handle->locked ? 1 : 0;
  handle->locked = lock != 0;
  if (address) *address = handle->master;
}

int32_t HOSTCALL GetSize(Handle h) {
  SuiteCall call = Enter("GetSize");
  HostHandle* handle = call.status ? nullptr : call.Objects().HandleOf(h);
  return handle ? int32_t(handle->size) : 0;
}

OSErr HOSTCALL SetSize(Handle h, int32_t newSize) {
  SuiteCall call = Enter("SetSize");
  if (call.status) return OSErr(call.status);
  if (newSize < 0) return kStandInParamError;
  if (newSize > kLargestHandle) return kStandInMemoryError;
  return call.Objects().ResizeHandle(h, size_t(newSize)) ? OSErr(0) : kStandInParamError;
}

void HOSTCALL RecoverSpace(int32_t) { Enter("RecoverSpace"); }

const PSHandleSuite2 kHandleSuite = {New, Dispose, DisposeRegularHandle, SetLock, GetSize, SetSize, RecoverSpace};

}  // namespace

const PSHandleSuite2* StandInHandleSuite() { return &kHandleSuite; }

}  // namespace zk
