#include "ImagePixels.h"

#include "ImageSamples.h"

namespace zk {
namespace {

uint32_t Ramp(int64_t position, int64_t length, uint32_t top) {
  return length <= 1 ? 0 : uint32_t(uint64_t(position) * top / uint64_t(length - 1));
}

}  // namespace

bool ImageBytes(int64_t width, int64_t height, int32_t depth, uint64_t* bytes) {
  if (width > kLargestImageSide || height > kLargestImageSide) return false;
  uint64_t count = 0;
  if (!ImageByteCount(width, height, depth, &count) || count > kLargestImageBytes) return false;
  *bytes = count;
  return true;
}

bool HasConsistentSamples(const ImagePixels& image) {
  uint64_t bytes = 0;
  return ImageBytes(image.width, image.height, image.depth, &bytes) && image.samples.size() == bytes;
}

std::vector<uint8_t> ConvertSampleDepth(const std::vector<uint8_t>& samples, int32_t from, int32_t to) {
  if (from == to) return samples;
  const size_t count = samples.size() / size_t(from / 8);
  std::vector<uint8_t> converted(count * size_t(to / 8));
  for (size_t i = 0; i < count; ++i) {
    const uint32_t value = ReadSample(samples.data(), i * size_t(from / 8), from);
    WriteSample(converted.data(), i * size_t(to / 8), to, to == 16 ? value * 257 : (value + 128) / 257);
  }
  return converted;
}

bool GradientImage(int64_t width, int64_t height, int32_t depth, ImagePixels* image) {
  uint64_t bytes = 0;
  if (!ImageBytes(width, height, depth, &bytes)) return false;
  image->width = width;
  image->height = height;
  image->depth = depth;
  image->samples.assign(size_t(bytes), 0);
  const uint32_t top = depth == 16 ? 65535 : 255;
  for (int64_t y = 0; y < height; ++y) {
    for (int64_t x = 0; x < width; ++x) {
      const uint32_t rgb[kSamplesPerPixel] = {Ramp(x, width, top), Ramp(y, height, top),
                                              Ramp(width - 1 - x, width, top)};
      for (int channel = 0; channel < kSamplesPerPixel; ++channel) {
        WriteSample(image->samples.data(), SampleOffset(size_t(x), size_t(y), channel, size_t(width), depth), depth,
                    rgb[channel]);
      }
    }
  }
  return true;
}

}  // namespace zk
