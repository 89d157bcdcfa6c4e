// Checks on addresses that other code hands the host as numbers (the export and import plug-ins'
// shared segments and callbacks). The host and the plug-ins share one process, so a wrong number
// would otherwise crash the host or scribble over its memory; these checks turn an address that
// names no committed memory of the right kind into a failed play instead. They cannot tell one
// valid block from another: a number inside some other live block still passes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk {

bool IsReadableRange(uintptr_t address, size_t size);
bool IsWritableRange(uintptr_t address, size_t size);
bool IsExecutableAddress(uintptr_t address);

}  // namespace zk
