// The named shared-memory segments a session holds. Pixels never cross the pipe: the companion
// creates a segment on the paging file under a name, sends the name, and the other side opens it
// by that name. A segment exists as long as some process holds it, so the session keeps each one
// open (and mapped) until the scenario deletes it or the run ends.
#pragma once

#include "WindowsOwners.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace zk {

// A segment as the session sees it: its mapped bytes and what the scenario put into it.
struct SegmentView {
  std::uint8_t* bytes = nullptr;
  std::uint64_t size = 0;                    // the size it was created with
  std::optional<std::uint64_t> filledLength; // bytes the last fill wrote from the start
};

class SharedSegments {
 public:
  // Creates a new segment of size bytes under name (ANSI, as the other side opens it) and maps it
  // whole. A name that some process already uses is refused: its content would not be ours.
  bool Create(const std::string& name, std::uint64_t size, std::string& error);
  // Unmaps and closes the segment.
  bool Delete(const std::string& name, std::string& error);
  // The held segment of this name, or null.
  SegmentView* Find(const std::string& name);

 private:
  struct Held {
    UniqueHandle mapping;
    UniqueMappedView view;
    SegmentView segment;
  };
  std::map<std::string, Held> held_;
};

// The name in the ANSI form the system takes (names are printable ASCII, checked by the parser).
std::string SegmentNameOf(const std::wstring& name);

}  // namespace zk
