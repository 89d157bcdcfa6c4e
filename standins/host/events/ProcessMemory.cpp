#include "ProcessMemory.h"

#include <windows.h>

namespace zk {
namespace {

constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kExecutable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// Every page of [address, address + size) is committed with one of the protections asked for.
bool RangeHas(uintptr_t address, size_t size, DWORD protections) {
  if (address == 0 || size == 0 || address > UINTPTR_MAX - size) return false;
  const uintptr_t end = address + size;
  uintptr_t at = address;
  while (at < end) {
    MEMORY_BASIC_INFORMATION region = {};
    if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) != sizeof region) return false;
    if (region.State != MEM_COMMIT || (region.Protect & PAGE_GUARD) || !(region.Protect & protections)) return false;
    at = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
  }
  return true;
}

}  // namespace

bool IsReadableRange(uintptr_t address, size_t size) { return RangeHas(address, size, kReadable); }
bool IsWritableRange(uintptr_t address, size_t size) { return RangeHas(address, size, kWritable); }
bool IsExecutableAddress(uintptr_t address) { return RangeHas(address, 1, kExecutable); }

}  // namespace zk
