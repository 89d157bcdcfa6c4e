// Reads resources of a module file without running its code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class ModuleResources {
 public:
  explicit ModuleResources(const std::wstring& path);
  ~ModuleResources();
  ModuleResources(const ModuleResources&) = delete;
  ModuleResources& operator=(const ModuleResources&) = delete;

  bool Loaded() const { return module != nullptr; }
  HMODULE Handle() const { return module; }
  // Empty when the resource is missing.
  std::vector<uint8_t> Bytes(LPCWSTR type, int id) const;
  std::wstring String(unsigned id) const;

 private:
  HMODULE module = nullptr;
};
