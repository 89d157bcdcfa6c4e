// Addresses handed to the companion plug-ins inside the host: unsigned decimal text of pointer
// width, no leading zeros (the plug-ins read them back as numbers).
#pragma once

#include <cstdint>
#include <string>

inline std::string AddressText(uint64_t address) { return std::to_string(static_cast<unsigned long long>(address)); }
