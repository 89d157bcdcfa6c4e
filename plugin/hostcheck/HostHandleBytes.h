// The bytes of a block of host memory (an alias, say), read without taking them for text.
#pragma once

#include <string>

#include "HostTypes.h"

// Every byte of the block, as the handle suite sizes it; empty for a null handle or one that cannot
// be locked. The handle's lock state is as it was.
std::string HostHandleBytes(Handle handle);
