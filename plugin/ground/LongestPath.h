// The longest path Windows has, in UTF-16 units with its terminator. A buffer of this size holds
// any path, so that whatever a host or the system does with a buffer too small for a path, it is
// never handed one.
#pragma once

#include <cstdint>

constexpr uint32_t kLongestPathUnits = 32768;
