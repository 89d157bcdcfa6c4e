// The bytes of a message on the pipe: each field as a 4-byte little-endian byte count and its
// UTF-16LE units, then a count of 0 as the end marker. A field can never be empty, since a count of 0
// ends the message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zk {

std::vector<std::uint8_t> EncodeCount(std::uint32_t count);
std::vector<std::uint8_t> EncodeText(const std::wstring& text);    // units only, no count
std::vector<std::uint8_t> EncodeField(const std::wstring& text);   // count, then units
std::vector<std::uint8_t> EncodeMessage(const std::vector<std::wstring>& fields);

// The count the 4 bytes at data hold.
std::uint32_t DecodeCount(const std::uint8_t* data);

// True when the bytes begin with a whole message (fields up to and including the end marker).
bool HoldsWholeMessage(const std::vector<std::uint8_t>& bytes);

}  // namespace zk
