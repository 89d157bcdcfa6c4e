#include "SegmentReleaseWatch.h"

#include <windows.h>

namespace {

using UnmapProc = BOOL(WINAPI*)(LPCVOID);
using CloseProc = BOOL(WINAPI*)(HANDLE);

SegmentReleaseWatch* activeWatch = nullptr;
// The system's own functions, from kernel32 itself rather than through this program's import
// entries (which the watch takes): a call that comes while a watch is being set up still reaches
// the system.
template <class Proc>
Proc SystemFunction(const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}
const UnmapProc systemUnmap = SystemFunction<UnmapProc>("UnmapViewOfFile");
const CloseProc systemClose = SystemFunction<CloseProc>("CloseHandle");

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

}  // namespace

SegmentReleaseWatch::SegmentReleaseWatch(std::vector<std::pair<std::string, void*>> segments)
    : segments_(std::move(segments)),
      unmap_("kernel32.dll", "UnmapViewOfFile", reinterpret_cast<void*>(&WatchedUnmap)),
      close_("kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&WatchedClose)) {
  if (unmap_.Installed() && close_.Installed()) activeWatch = this;  // else nothing is recorded, and the test fails
}

// The import entries are put back by their owners, after the watch has stopped looking.
SegmentReleaseWatch::~SegmentReleaseWatch() {
  if (activeWatch == this) activeWatch = nullptr;
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
