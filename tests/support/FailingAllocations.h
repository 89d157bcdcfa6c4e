// Allocations that fail on purpose, to see what the module does without memory. This file replaces
// the program's global operator new (every test program that links it gets the replacement); it
// behaves as the library's own until a FailingAllocations is in place.
#pragma once

#include <climits>
#include <cstddef>

// While it exists, allocations of at least atLeastBytes made on the thread that made it throw
// std::bad_alloc, up to count of them. Other threads allocate as usual. One at a time.
class FailingAllocations {
 public:
  explicit FailingAllocations(size_t atLeastBytes = 0, int count = INT_MAX);
  ~FailingAllocations();
  FailingAllocations(const FailingAllocations&) = delete;
  FailingAllocations& operator=(const FailingAllocations&) = delete;

  int Failed() const;  // how many allocations have failed so far
};
