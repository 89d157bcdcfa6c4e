// A named shared-memory segment that the companion made, opened and mapped by the module for the
// length of one request: the pixels cross between the two processes there, never through the pipe.
// The module never creates a segment, and keeps no handle or view once the request is answered.
#pragma once

#include <cstdint>
#include <string>

#include "WindowsOwners.h"

struct SharedSegment {
  SharedSegment() = default;
  ~SharedSegment();  // unmaps the view, then closes the segment
  SharedSegment(const SharedSegment&) = delete;
  SharedSegment& operator=(const SharedSegment&) = delete;

  std::string name;
  UniqueHandle segment;
  UniqueMappedView view;
  uint64_t mappedBytes = 0;  // what the view holds (the whole segment's pages when 0 was asked)
};

// Opens the segment by its name (the request's text, unchanged). False with the error reply's
// text when no such segment can be opened.
bool OpenSegment(const std::string& name, SharedSegment& segment, std::string* error);

// Maps bytes of the open segment from its start; 0 maps all of it. False with the error reply's
// text (the system's error number) when the view cannot be made, e.g. larger than the segment.
bool MapSegment(SharedSegment& segment, uint64_t bytes, std::string* error);
