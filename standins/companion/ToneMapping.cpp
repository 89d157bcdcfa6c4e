#include "ToneMapping.h"

#include "ImageSamples.h"

#include <algorithm>
#include <cmath>

namespace zk {

namespace {

// Keeps log() away from black pixels without moving the average of a real picture.
constexpr double kLuminanceFloor = 1e-4;

double Channel(const std::uint8_t* source, size_t pixel, int channel) {
  return ReadSample(source, (pixel * kSamplesPerPixel + static_cast<size_t>(channel)) * 2, 16) / 65535.0;
}

double Luminance(const std::uint8_t* source, size_t pixel) {
  return 0.2126 * Channel(source, pixel, 0) + 0.7152 * Channel(source, pixel, 1) + 0.0722 * Channel(source, pixel, 2);
}

}  // namespace

double ToneMapImage(const std::uint8_t* source, size_t width, size_t height, std::uint8_t* destination, int depth) {
  const size_t pixels = width * height;
  if (pixels == 0) return 0.0;
  double logSum = 0.0;
  for (size_t pixel = 0; pixel < pixels; ++pixel) logSum += std::log(kLuminanceFloor + Luminance(source, pixel));
  const double logAverage = std::exp(logSum / static_cast<double>(pixels));
  const double scale = kToneMapKey / logAverage;
  const double top = depth == 16 ? 65535.0 : 255.0;
  for (size_t pixel = 0; pixel < pixels; ++pixel) {
    const double luminance = Luminance(source, pixel);
    const double scaled = scale * luminance;
    const double ratio = luminance > 0.0 ? scaled / (1.0 + scaled) / luminance : 0.0;
    for (int channel = 0; channel < kSamplesPerPixel; ++channel) {
      const double linear = std::min(1.0, Channel(source, pixel, channel) * ratio);
      const double encoded = std::pow(linear, 1.0 / kToneMapGamma);
      WriteSample(destination, (pixel * kSamplesPerPixel + static_cast<size_t>(channel)) * static_cast<size_t>(depth / 8),
                  depth, static_cast<std::uint32_t>(std::lround(encoded * top)));
    }
  }
  return logAverage;
}

}  // namespace zk
