#include "RequestNumbers.h"

#include <cctype>

namespace {

// Sign and magnitude of the number at the start of the field.
bool ReadMagnitude(const std::string& field, bool* negative, uint64_t* magnitude) {
  size_t at = 0;
  while (at < field.size() && std::isspace(static_cast<unsigned char>(field[at]))) ++at;
  *negative = false;
  if (at < field.size() && (field[at] == '+' || field[at] == '-')) *negative = field[at++] == '-';
  const size_t firstDigit = at;
  uint64_t value = 0;
  for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) {
    const unsigned digit = unsigned(field[at] - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;  // does not fit 64 bits
    value = value * 10 + digit;
  }
  *magnitude = value;
  return at > firstDigit;
}

}  // namespace

bool ReadSignedNumber(const std::string& field, int32_t* value) {
  bool negative = false;
  uint64_t magnitude = 0;
  if (!ReadMagnitude(field, &negative, &magnitude)) return false;
  if (magnitude > (negative ? uint64_t(INT32_MAX) + 1 : uint64_t(INT32_MAX))) return false;
  *value = negative ? int32_t(-int64_t(magnitude)) : int32_t(magnitude);
  return true;
}

bool ReadSizeNumber(const std::string& field, uint64_t* value) {
  bool negative = false;
  uint64_t magnitude = 0;
  if (!ReadMagnitude(field, &negative, &magnitude)) return false;
  *value = negative ? uint64_t(0) - magnitude : magnitude;
  return true;
}

std::string FormatNumber(int32_t value) { return std::to_string(value); }
