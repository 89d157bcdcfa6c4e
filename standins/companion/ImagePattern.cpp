#include "ImagePattern.h"

#include "ImageSamples.h"

#include <vector>

namespace zk {

void WritePattern(std::uint8_t* samples, size_t width, size_t height, int depth) {
  const std::uint64_t top = depth == 16 ? 65535 : 255;
  const std::uint64_t across = width > 1 ? width - 1 : 1;
  const std::uint64_t down = height > 1 ? height - 1 : 1;
  const size_t sampleBytes = static_cast<size_t>(depth / 8);
  // Red depends on the column only: worked out once, not once per row (pictures run to gigabytes).
  std::vector<std::uint32_t> red(width);
  for (size_t x = 0; x < width; ++x) red[x] = static_cast<std::uint32_t>(x * top / across);
  std::uint8_t* at = samples;
  for (size_t y = 0; y < height; ++y) {
    const auto green = static_cast<std::uint32_t>(y * top / down);
    for (size_t x = 0; x < width; ++x, at += kSamplesPerPixel * sampleBytes) {
      const std::uint64_t blue = (x / 8 + y / 8) % 2 == 0 ? top / 4 : top * 3 / 4;
      WriteSample(at, 0, depth, red[x]);
      WriteSample(at, sampleBytes, depth, green);
      WriteSample(at, 2 * sampleBytes, depth, static_cast<std::uint32_t>(blue));
    }
  }
}

}  // namespace zk
