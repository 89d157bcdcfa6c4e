#include "ImageSummary.h"

#include "ImageSamples.h"

#include <cinttypes>
#include <cstdio>

namespace zk {

std::uint64_t Fnv1a64(const std::uint8_t* bytes, size_t size) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 0x100000001B3ull;
  }
  return hash;
}

std::vector<std::pair<std::string, std::string>> SummarizeImage(const std::uint8_t* samples, size_t width,
                                                                 size_t height, int depth) {
  const size_t pixels = width * height;
  const size_t bytes = pixels * kSamplesPerPixel * static_cast<size_t>(depth / 8);
  std::vector<std::pair<std::string, std::string>> lines;
  char text[160];
  std::snprintf(text, sizeof text, "%zu x %zu at %d bits, %zu bytes, fnv1a64 %016" PRIX64, width, height, depth, bytes,
                Fnv1a64(samples, bytes));
  lines.emplace_back("image-summary", text);

  static const char* const channelNames[kSamplesPerPixel] = {"red", "green", "blue"};
  for (int channel = 0; channel < kSamplesPerPixel; ++channel) {
    std::uint32_t lowest = 0xFFFFFFFFu, highest = 0;
    std::uint64_t sum = 0;
    for (size_t pixel = 0; pixel < pixels; ++pixel) {
      const std::uint32_t value = ReadSample(samples, SampleOffset(pixel, 0, channel, pixels, depth), depth);
      lowest = value < lowest ? value : lowest;
      highest = value > highest ? value : highest;
      sum += value;
    }
    // The mean in thousandths, rounded, by integer arithmetic: no locale or rounding mode in between.
    const std::uint64_t thousandths = (sum * 1000 + pixels / 2) / pixels;
    std::snprintf(text, sizeof text, "%s min %" PRIu32 " max %" PRIu32 " mean %" PRIu64 ".%03" PRIu64,
                  channelNames[channel], lowest, highest, thousandths / 1000, thousandths % 1000);
    lines.emplace_back("image-channel", text);
  }

  const size_t positions[][2] = {{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}, {width / 2, height / 2}};
  for (const auto& position : positions) {
    const size_t x = position[0], y = position[1];
    std::uint32_t rgb[kSamplesPerPixel];
    for (int channel = 0; channel < kSamplesPerPixel; ++channel) {
      rgb[channel] = ReadSample(samples, SampleOffset(x, y, channel, width, depth), depth);
    }
    std::snprintf(text, sizeof text, "%zu %zu = %" PRIu32 " %" PRIu32 " %" PRIu32, x, y, rgb[0], rgb[1], rgb[2]);
    lines.emplace_back("image-sample", text);
  }
  return lines;
}

}  // namespace zk
