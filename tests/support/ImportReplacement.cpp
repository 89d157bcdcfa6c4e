#include "ImportReplacement.h"

#include <cstring>

namespace {

template <class T>
T* At(BYTE* base, DWORD offset) {
  return reinterpret_cast<T*>(base + offset);
}

// The import table's slot that the program calls function through, or null.
void** FindSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = At<const IMAGE_NT_HEADERS>(base, DWORD(dos->e_lfanew));
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* library = At<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress); library->Name != 0; ++library) {
    if (_stricmp(At<const char>(base, library->Name), dll) != 0 || library->OriginalFirstThunk == 0) continue;
    // The names (never written) and the addresses the loader wrote, side by side.
    const auto* names = At<const IMAGE_THUNK_DATA>(base, library->OriginalFirstThunk);
    auto* addresses = At<IMAGE_THUNK_DATA>(base, library->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = At<const IMAGE_IMPORT_BY_NAME>(base, DWORD(names->u1.AddressOfData));
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&addresses->u1.Function);
      }
    }
  }
  return nullptr;
}

// The import table may lie in read-only pages once the loader is done with it.
void WriteSlot(void** slot, void* value) {
  DWORD previous = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, previous, &previous);
  FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
}

}  // namespace

ImportReplacement::ImportReplacement(const char* dll, const char* function, void* replacement) {
  void** slot = FindSlot(dll, function);
  if (slot == nullptr) return;
  original_ = *slot;
  WriteSlot(slot, replacement);
  if (*slot == replacement) slot_ = slot;
}

ImportReplacement::~ImportReplacement() {
  if (slot_ != nullptr) WriteSlot(slot_, original_);
}
