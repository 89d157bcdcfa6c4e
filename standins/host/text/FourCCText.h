// Four-character codes as text for messages: 'kind' when all four characters are printable, else hex.
#pragma once

#include <cstdint>
#include <string>

namespace zk {

bool IsPrintableFourCC(uint32_t code);
std::string FourCCText(uint32_t code);  // "'kind'" or "0x00000001"

}  // namespace zk
