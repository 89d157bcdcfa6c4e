// Owner of a loaded module: FreeLibrary exactly once, keeping the last error of the failing call.
#pragma once

#include <windows.h>

#include <string>

namespace zk {

class ModuleHandle {
 public:
  explicit ModuleHandle(HMODULE module = nullptr) : module_(module) {}
  ~ModuleHandle() { Reset(); }
  ModuleHandle(const ModuleHandle&) = delete;
  ModuleHandle& operator=(const ModuleHandle&) = delete;

  HMODULE Get() const { return module_; }
  HMODULE Release() {
    HMODULE module = module_;
    module_ = nullptr;
    return module;
  }
  void Reset() {
    if (!module_) return;
    DWORD error = GetLastError();
    FreeLibrary(module_);
    module_ = nullptr;
    SetLastError(error);
  }

 private:
  HMODULE module_;
};

// "error 2: File not found." for messages.
std::string SystemErrorText(DWORD error);

}  // namespace zk
