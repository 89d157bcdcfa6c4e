// Which of a test's shared segments this program lets go of, in the order it does: every view it
// unmaps and every handle it closes is looked at before the system does so. The module's code is
// linked into the test program, so its calls are this program's: the watch takes the program's own
// import entries of UnmapViewOfFile and CloseHandle while it lives, and puts them back after.
// Nothing in the module is told or changed.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ImportReplacement.h"

class SegmentReleaseWatch {
 public:
  // The segments by name, each with a writable view of the test's own onto it: a view or a
  // handle is the segment's when a byte written through the test's view shows through it.
  explicit SegmentReleaseWatch(std::vector<std::pair<std::string, void*>> segments);
  ~SegmentReleaseWatch();
  SegmentReleaseWatch(const SegmentReleaseWatch&) = delete;
  SegmentReleaseWatch& operator=(const SegmentReleaseWatch&) = delete;

  // "view NAME" or "segment NAME" for each release of the segments' views and handles, in order.
  std::vector<std::string> Releases() const;

  // What the import entries lead to while a watch lives: the release, once recorded.
  void Unmapping(const void* view);
  void Closing(void* handle);

 private:
  // The name of the segment whose memory address shows, or empty.
  std::string SegmentAt(const void* address) const;

  std::vector<std::pair<std::string, void*>> segments_;
  ImportReplacement unmap_;
  ImportReplacement close_;
  mutable std::mutex lock_;
  std::vector<std::string> releases_;
};
