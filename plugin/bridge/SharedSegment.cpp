#include "SharedSegment.h"

#include <cstdint>

SharedSegment::~SharedSegment() {
  view.Reset();
  segment.Reset();
}

bool OpenSegment(const std::string& name, SharedSegment& segment, std::string* error) {
  segment.name = name;
  // Not inheritable: a companion started later must never hold the host's handle.
  segment.segment.Reset(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
  if (!segment.segment) *error = "Invalid mapping name " + name + " provided";
  return segment.segment.Valid();
}

// A view's size is a SIZE_T: the whole 64-bit byte count reaches the system, never a truncated one.
static_assert(sizeof(SIZE_T) == sizeof(uint64_t), "the module maps views of any 64-bit size");

bool MapSegment(SharedSegment& segment, uint64_t bytes, std::string* error) {
  void* const view = MapViewOfFile(segment.segment.Get(), FILE_MAP_ALL_ACCESS, 0, 0, SIZE_T(bytes));
  // Taken before anything else runs: building the text allocates, which may set another error.
  const DWORD mapError = GetLastError();
  if (view == nullptr) {
    *error = "Unable to map segment " + segment.name + ": error " + std::to_string(int32_t(mapError));
    return false;
  }
  segment.view.Reset(view);
  segment.mappedBytes = bytes;
  MEMORY_BASIC_INFORMATION region{};
  if (bytes == 0 && VirtualQuery(segment.view.Get(), &region, sizeof region) != 0) segment.mappedBytes = region.RegionSize;
  return true;
}
