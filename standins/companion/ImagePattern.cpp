#include "ImagePattern.h"

#include "ImageSamples.h"

namespace zk {

void WritePattern(std::uint8_t* samples, size_t width, size_t height, int depth) {
  const std::uint64_t top = depth == 16 ? 65535 : 255;
  const std::uint64_t across = width > 1 ? width - 1 : 1;
  const std::uint64_t down = height > 1 ? height - 1 : 1;
  for (size_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < width; ++x) {
      const std::uint64_t red = x * top / across;
      const std::uint64_t green = y * top / down;
      const std::uint64_t blue = (x / 8 + y / 8) % 2 == 0 ? top / 4 : top * 3 / 4;
      WriteSample(samples, SampleOffset(x, y, 0, width, depth), depth, static_cast<std::uint32_t>(red));
      WriteSample(samples, SampleOffset(x, y, 1, width, depth), depth, static_cast<std::uint32_t>(green));
      WriteSample(samples, SampleOffset(x, y, 2, width, depth), depth, static_cast<std::uint32_t>(blue));
    }
  }
}

}  // namespace zk
