// Pictures for tests of images and image events.
#pragma once

#include "ImagePixels.h"
#include "ImageSamples.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zk_test {

// Every sample differs from its neighbours, and the first two are the ends of the range.
inline zk::ImagePixels Ramp(int64_t width, int64_t height, int32_t depth) {
  zk::ImagePixels image{width, height, depth, {}};
  uint64_t bytes = 0;
  EXPECT_TRUE(zk::ImageBytes(width, height, depth, &bytes));
  image.samples.resize(size_t(bytes));
  const uint32_t top = depth == 16 ? 65535 : 255;
  const size_t count = size_t(bytes) / size_t(depth / 8);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t value = i == 0 ? 0 : i == 1 ? top : uint32_t((i * 7919) % (top + 1));
    zk::WriteSample(image.samples.data(), i * size_t(depth / 8), depth, value);
  }
  return image;
}

// The samples at another depth, computed apart from the host's own conversion: 8 to 16 spreads
// 0..255 over 0..65535, 16 to 8 takes the nearest 8-bit value.
inline std::vector<uint8_t> ExpectedAtDepth(const std::vector<uint8_t>& samples, int32_t from, int32_t to) {
  const size_t count = samples.size() / size_t(from / 8);
  std::vector<uint8_t> out(count * size_t(to / 8));
  for (size_t i = 0; i < count; ++i) {
    const uint32_t value = zk::ReadSample(samples.data(), i * size_t(from / 8), from);
    const uint32_t converted = from == to ? value
                               : to == 16 ? uint32_t(std::lround(value * 65535.0 / 255.0))
                                          : uint32_t(std::lround(value * 255.0 / 65535.0));
    zk::WriteSample(out.data(), i * size_t(to / 8), to, converted);
  }
  return out;
}

}  // namespace zk_test
