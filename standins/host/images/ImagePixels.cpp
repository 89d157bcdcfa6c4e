#include "ImagePixels.h"

#include "ImageSamples.h"

#include <cstring>

namespace zk {
namespace {

uint32_t Ramp(int64_t position, int64_t length, uint32_t top) {
  return length <= 1 ? 0 : uint32_t(uint64_t(position) * top / uint64_t(length - 1));
}

}  // namespace

bool ImageBytes(int64_t width, int64_t height, int32_t depth, uint64_t* bytes) {
  if (width > kLargestImageSide || height > kLargestImageSide) return false;
  return ImageByteCount(width, height, depth, bytes);
}

bool HasConsistentSamples(const ImagePixels& image) {
  uint64_t bytes = 0;
  return ImageBytes(image.width, image.height, image.depth, &bytes) && image.samples.size() == bytes;
}

std::vector<uint8_t> ConvertSampleDepth(const std::vector<uint8_t>& samples, int32_t from, int32_t to) {
  if (from == to) return samples;
  const size_t count = samples.size() / size_t(from / 8);
  std::vector<uint8_t> converted(count * size_t(to / 8));
  ConvertSamples(samples.data(), from, count, converted.data(), to);
  return converted;
}

void ConvertSamples(const uint8_t* from, int32_t fromDepth, size_t count, uint8_t* to, int32_t toDepth) {
  if (fromDepth == toDepth) {
    std::memcpy(to, from, count * size_t(fromDepth / 8));
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    const uint32_t value = ReadSample(from, i * size_t(fromDepth / 8), fromDepth);
    WriteSample(to, i * size_t(toDepth / 8), toDepth, toDepth == 16 ? value * 257 : (value + 128) / 257);
  }
}

bool GradientImage(int64_t width, int64_t height, int32_t depth, ImagePixels* image) {
  uint64_t bytes = 0;
  if (!ImageBytes(width, height, depth, &bytes)) return false;
  image->width = width;
  image->height = height;
  image->depth = depth;
  image->samples.assign(size_t(bytes), 0);
  WriteGradient(width, height, depth, image->samples.data());
  return true;
}

void WriteGradient(int64_t width, int64_t height, int32_t depth, uint8_t* samples) {
  const uint32_t top = depth == 16 ? 65535 : 255;
  const size_t sampleBytes = size_t(depth / 8);
  // Red and blue depend on the column only: worked out once, not once per row.
  std::vector<uint32_t> across(static_cast<size_t>(width));
  for (int64_t x = 0; x < width; ++x) across[size_t(x)] = Ramp(x, width, top);
  uint8_t* at = samples;
  for (int64_t y = 0; y < height; ++y) {
    const uint32_t green = Ramp(y, height, top);
    for (int64_t x = 0; x < width; ++x, at += kSamplesPerPixel * sampleBytes) {
      WriteSample(at, 0, depth, across[size_t(x)]);
      WriteSample(at, sampleBytes, depth, green);
      WriteSample(at, 2 * sampleBytes, depth, across[size_t(width - 1 - x)]);
    }
  }
}

}  // namespace zk
