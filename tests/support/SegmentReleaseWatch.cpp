#include "SegmentReleaseWatch.h"

#include <windows.h>

#include <cstring>

namespace {

using UnmapProc = BOOL(WINAPI*)(LPCVOID);
using CloseProc = BOOL(WINAPI*)(HANDLE);

SegmentReleaseWatch* activeWatch = nullptr;
UnmapProc systemUnmap = nullptr;
CloseProc systemClose = nullptr;

// The caller's last error is as it left it: the look may set another.
BOOL WINAPI WatchedUnmap(LPCVOID view) {
  const DWORD error = GetLastError();
  if (activeWatch != nullptr) activeWatch->Unmapping(view);
  SetLastError(error);
  return systemUnmap(view);
}

BOOL WINAPI WatchedClose(HANDLE handle) {
  const DWORD error = GetLastError();
  if (activeWatch != nullptr) activeWatch->Closing(handle);
  SetLastError(error);
  return systemClose(handle);
}

// The program's import entry of a kernel32 function: found by its name where the program keeps
// the names, else by the address the loader put there.
void** ImportEntry(const char* function) {
  auto* const base = reinterpret_cast<uint8_t*>(GetModuleHandleW(nullptr));
  const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  const FARPROC address = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), function);
  for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name != 0;
       ++library) {
    if (_stricmp(reinterpret_cast<const char*>(base + library->Name), "kernel32.dll") != 0) continue;
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    const auto* name = library->OriginalFirstThunk != 0
                           ? reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk)
                           : nullptr;
    for (; slot->u1.Function != 0; ++slot) {
      bool found = reinterpret_cast<FARPROC>(slot->u1.Function) == address;
      if (name != nullptr) {
        if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) {
          const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
          found = found || std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
        }
        ++name;
      }
      if (found) return reinterpret_cast<void**>(&slot->u1.Function);
    }
  }
  return nullptr;
}

// Puts replacement into the entry; the entry's earlier value.
void* Exchange(void** entry, void* replacement) {
  DWORD protection = 0;
  VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
  void* const earlier = *entry;
  *entry = replacement;
  VirtualProtect(entry, sizeof *entry, protection, &protection);
  FlushInstructionCache(GetCurrentProcess(), entry, sizeof *entry);
  return earlier;
}

}  // namespace

SegmentReleaseWatch::SegmentReleaseWatch(std::vector<std::pair<std::string, void*>> segments)
    : segments_(std::move(segments)) {
  void** unmap = ImportEntry("UnmapViewOfFile");
  void** close = ImportEntry("CloseHandle");
  if (unmap == nullptr || close == nullptr) return;  // nothing recorded: the test's comparison fails
  systemUnmap = reinterpret_cast<UnmapProc>(Exchange(unmap, reinterpret_cast<void*>(&WatchedUnmap)));
  systemClose = reinterpret_cast<CloseProc>(Exchange(close, reinterpret_cast<void*>(&WatchedClose)));
  activeWatch = this;
}

SegmentReleaseWatch::~SegmentReleaseWatch() {
  if (activeWatch != this) return;
  activeWatch = nullptr;
  Exchange(ImportEntry("UnmapViewOfFile"), reinterpret_cast<void*>(systemUnmap));
  Exchange(ImportEntry("CloseHandle"), reinterpret_cast<void*>(systemClose));
}

std::vector<std::string> SegmentReleaseWatch::Releases() const {
  const std::lock_guard<std::mutex> hold(lock_);
  return releases_;
}

std::string SegmentReleaseWatch::SegmentAt(const void* address) const {
  MEMORY_BASIC_INFORMATION region{};
  if (VirtualQuery(address, &region, sizeof region) == 0 || region.State != MEM_COMMIT ||
      (region.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY)) == 0) {
    return std::string();
  }
  const auto* const seen = static_cast<const volatile uint8_t*>(address);
  for (const auto& [name, view] : segments_) {
    auto* const own = static_cast<volatile uint8_t*>(view);
    const uint8_t kept = own[0];
    own[0] = uint8_t(~kept);
    const bool shows = seen[0] == uint8_t(~kept);
    own[0] = kept;
    if (shows) return name;
  }
  return std::string();
}

void SegmentReleaseWatch::Unmapping(const void* view) {
  const std::lock_guard<std::mutex> hold(lock_);
  const std::string name = SegmentAt(view);
  if (!name.empty()) releases_.push_back("view " + name);
}

void SegmentReleaseWatch::Closing(void* handle) {
  const std::lock_guard<std::mutex> hold(lock_);
  // A handle of a segment maps; any other handle does not. The view made here is let go of through
  // the system's own entry, unseen.
  void* const view = MapViewOfFile(handle, FILE_MAP_READ, 0, 0, 1);
  if (view == nullptr) return;
  const std::string name = SegmentAt(view);
  systemUnmap(view);
  if (!name.empty()) releases_.push_back("segment " + name);
}
