// Move-only owners of kernel handles. Two kinds, because the system uses two values for "no handle":
// events, processes and threads give null, while CreateFile and CreateNamedPipe give INVALID_HANDLE_VALUE.
// An owner of the wrong kind would close INVALID_HANDLE_VALUE (the current process!) or leak.
// Closing keeps GetLastError() intact, so the error of the call that failed is still there afterwards.
#pragma once

#include <windows.h>

#include <utility>

namespace zk {

struct NullIsInvalid {
  static HANDLE Invalid() { return nullptr; }
};

struct InvalidHandleValueIsInvalid {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
};

template <class Kind>
class HandleOwner {
 public:
  HandleOwner() = default;
  explicit HandleOwner(HANDLE handle) : handle_(handle) {}
  ~HandleOwner() { Reset(); }
  HandleOwner(HandleOwner&& other) noexcept : handle_(other.Release()) {}
  HandleOwner& operator=(HandleOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != Kind::Invalid(); }
  explicit operator bool() const { return Valid(); }

  HANDLE Release() { return std::exchange(handle_, Kind::Invalid()); }

  void Reset(HANDLE handle = Kind::Invalid()) {
    HANDLE old = std::exchange(handle_, handle);
    if (old != Kind::Invalid()) {
      const DWORD error = GetLastError();
      CloseHandle(old);
      SetLastError(error);
    }
  }

 private:
  HANDLE handle_ = Kind::Invalid();
};

// Events, processes, threads, file mappings.
using UniqueHandle = HandleOwner<NullIsInvalid>;
// Files and pipes (CreateFileW, CreateNamedPipeW).
using UniqueFile = HandleOwner<InvalidHandleValueIsInvalid>;

}  // namespace zk
