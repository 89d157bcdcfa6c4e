// Numbers in request fields: what reads as a number, and what does not.
#include <gtest/gtest.h>

#include "RequestNumbers.h"

namespace {

TEST(RequestNumbers, SignedNumbers) {
  const struct {
    const char* field;
    bool numeric;
    int32_t value;
  } cases[] = {
      {"16", true, 16},          {" 16", true, 16},         {"16px", true, 16},        {"-8", true, -8},
      {"+8", true, 8},           {"\t\n 0", true, 0},       {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN},                     {"2147483648", false, 0},  {"99999999999", false, 0},
      {"", false, 0},            {"px16", false, 0},        {"-", false, 0},           {" ", false, 0},
  };
  for (const auto& c : cases) {
    int32_t value = 0;
    EXPECT_EQ(ReadSignedNumber(c.field, &value), c.numeric) << '"' << c.field << '"';
    if (c.numeric) {
      EXPECT_EQ(value, c.value) << '"' << c.field << '"';
    }
  }
}

TEST(RequestNumbers, SizeNumbers) {
  const struct {
    const char* field;
    bool numeric;
    uint64_t value;
  } cases[] = {
      {"1000", true, 1000},
      {"18446744073709551615", true, UINT64_MAX},
      {"18446744073709551616", false, 0},
      {"-1", true, UINT64_MAX},  // wraps around modulo 2^64
      {" 4096 bytes", true, 4096},
      {"size", false, 0},
  };
  for (const auto& c : cases) {
    uint64_t value = 0;
    EXPECT_EQ(ReadSizeNumber(c.field, &value), c.numeric) << '"' << c.field << '"';
    if (c.numeric) {
      EXPECT_EQ(value, c.value) << '"' << c.field << '"';
    }
  }
}

TEST(RequestNumbers, RepliesCarryPlainDecimals) {
  EXPECT_EQ(FormatNumber(640), "640");
  EXPECT_EQ(FormatNumber(-3), "-3");
  EXPECT_EQ(FormatNumber(0), "0");
}

}  // namespace
