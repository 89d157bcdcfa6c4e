// Numbers in request fields: decimal texts. Leading white space is skipped, an optional sign and
// the longest run of digits are taken, and whatever follows is ignored (" 16" and "16px" read 16).
#pragma once

#include <cstdint>
#include <string>

// A signed 32-bit number. False when the field does not start with one, or it does not fit.
bool ReadSignedNumber(const std::string& field, int32_t* value);

// An unsigned pointer-wide number (segment sizes). A minus sign is accepted and wraps around
// modulo 2^64. False when the field does not start with a number, or it does not fit 64 bits.
bool ReadSizeNumber(const std::string& field, uint64_t* value);

std::string FormatNumber(int32_t value);
