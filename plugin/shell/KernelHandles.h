// Move-only owners of kernel handles. The type says which value means "nothing": events,
// processes and threads use null, files and pipes INVALID_HANDLE_VALUE. Closing keeps the
// thread's last error, so the next line can still report the failing call's.
#pragma once

#include <windows.h>

template <HANDLE (*Invalid)()>
class KernelHandle {
 public:
  KernelHandle() = default;
  explicit KernelHandle(HANDLE handle) : value(handle) {}
  ~KernelHandle() { Reset(); }
  KernelHandle(KernelHandle&& other) noexcept : value(other.Release()) {}
  KernelHandle& operator=(KernelHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;

  HANDLE Get() const { return value; }
  bool Valid() const { return value != Invalid(); }
  explicit operator bool() const { return Valid(); }

  HANDLE Release() {
    HANDLE held = value;
    value = Invalid();
    return held;
  }
  void Reset(HANDLE handle = Invalid()) {
    if (Valid()) {
      const DWORD error = GetLastError();
      CloseHandle(value);
      SetLastError(error);
    }
    value = handle;
  }

 private:
  HANDLE value = Invalid();
};

inline HANDLE NullHandleValue() { return nullptr; }
inline HANDLE InvalidFileHandleValue() { return INVALID_HANDLE_VALUE; }

using UniqueHandle = KernelHandle<NullHandleValue>;       // events, processes, threads, mappings
using UniqueFile = KernelHandle<InvalidFileHandleValue>;  // CreateFile, CreateNamedPipe
