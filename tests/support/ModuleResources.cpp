#include "ModuleResources.h"

ModuleResources::ModuleResources(const std::wstring& path)
    : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}

ModuleResources::~ModuleResources() {
  if (module != nullptr) FreeLibrary(module);
}

std::vector<uint8_t> ModuleResources::Bytes(LPCWSTR type, int id) const {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
  if (data == nullptr) return {};
  return std::vector<uint8_t>(data, data + SizeofResource(module, found));
}

std::wstring ModuleResources::String(unsigned id) const {
  wchar_t buffer[1024] = {};
  const int length = LoadStringW(module, id, buffer, 1024);
  return std::wstring(buffer, length > 0 ? size_t(length) : 0);
}
