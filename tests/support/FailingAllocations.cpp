#include "FailingAllocations.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> failingThread{0};  // 0: nothing fails
std::atomic<size_t> failingFrom{0};
std::atomic<int> failuresLeft{0};
std::atomic<int> failures{0};

bool FailsNow(size_t bytes) {
  if (failingThread.load() == 0 || failingThread.load() != GetCurrentThreadId() || bytes < failingFrom.load()) {
    return false;
  }
  if (failuresLeft.fetch_sub(1) <= 0) {
    failuresLeft.store(0);
    return false;
  }
  ++failures;
  return true;
}

}  // namespace

// The library's operator delete frees with free(), so memory from malloc() is what it expects.
void* operator new(std::size_t bytes) {
  if (FailsNow(bytes)) throw std::bad_alloc();
  if (void* memory = std::malloc(bytes != 0 ? bytes : 1)) return memory;
  throw std::bad_alloc();
}

FailingAllocations::FailingAllocations(size_t atLeastBytes, int count) {
  failingFrom = atLeastBytes;
  failuresLeft = count;
  failures = 0;
  failingThread = GetCurrentThreadId();
}

FailingAllocations::~FailingAllocations() { failingThread = 0; }

int FailingAllocations::Failed() const { return failures.load(); }
