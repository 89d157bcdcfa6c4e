#include "ToneMapping.h"

#include "ImageSamples.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zk {

namespace {

// Keeps log() away from black pixels without moving the average of a real picture.
constexpr double kLuminanceFloor = 1e-4;

// Linear light of each 16-bit code value; empty for linear samples.
using LinearTable = std::vector<double>;

LinearTable TableFor(SampleEncoding encoding) {
  LinearTable table;
  if (encoding == SampleEncoding::Srgb) {
    table.resize(65536);
    for (size_t value = 0; value < table.size(); ++value) table[value] = SrgbToLinear(double(value) / 65535.0);
  }
  return table;
}

double Channel(const std::uint8_t* source, size_t pixel, int channel, const LinearTable& linear) {
  const std::uint32_t value = ReadSample(source, (pixel * kSamplesPerPixel + static_cast<size_t>(channel)) * 2, 16);
  return linear.empty() ? value / 65535.0 : linear[value];
}

double Luminance(const std::uint8_t* source, size_t pixel, const LinearTable& linear) {
  return 0.2126 * Channel(source, pixel, 0, linear) + 0.7152 * Channel(source, pixel, 1, linear) +
         0.0722 * Channel(source, pixel, 2, linear);
}

}  // namespace

double SrgbToLinear(double encoded) {
  return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double ToneMapImage(const std::uint8_t* source, size_t width, size_t height, std::uint8_t* destination, int depth,
                    SampleEncoding encoding) {
  const size_t pixels = width * height;
  if (pixels == 0) return 0.0;
  const LinearTable linear = TableFor(encoding);
  double logSum = 0.0;
  for (size_t pixel = 0; pixel < pixels; ++pixel) logSum += std::log(kLuminanceFloor + Luminance(source, pixel, linear));
  const double logAverage = std::exp(logSum / static_cast<double>(pixels));
  const double scale = kToneMapKey / logAverage;
  const double top = depth == 16 ? 65535.0 : 255.0;
  for (size_t pixel = 0; pixel < pixels; ++pixel) {
    const double luminance = Luminance(source, pixel, linear);
    const double scaled = scale * luminance;
    const double ratio = luminance > 0.0 ? scaled / (1.0 + scaled) / luminance : 0.0;
    for (int channel = 0; channel < kSamplesPerPixel; ++channel) {
      const double light = std::min(1.0, Channel(source, pixel, channel, linear) * ratio);
      const double encoded = std::pow(light, 1.0 / kToneMapGamma);
      WriteSample(destination, (pixel * kSamplesPerPixel + static_cast<size_t>(channel)) * static_cast<size_t>(depth / 8),
                  depth, static_cast<std::uint32_t>(std::lround(encoded * top)));
    }
  }
  return logAverage;
}

}  // namespace zk
