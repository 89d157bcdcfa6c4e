#include "ToneMapping.h"

#include "ImageSamples.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using Pixel = std::array<std::uint32_t, 3>;

std::vector<std::uint8_t> Image16(const std::vector<Pixel>& pixels) {
  std::vector<std::uint8_t> samples(pixels.size() * 6);
  for (size_t i = 0; i < pixels.size(); ++i) {
    for (int c = 0; c < 3; ++c) zk::WriteSample(samples.data(), zk::SampleOffset(i, 0, c, pixels.size(), 16), 16, pixels[i][c]);
  }
  return samples;
}

std::vector<Pixel> Pixels(const std::vector<std::uint8_t>& samples, size_t count, int depth) {
  std::vector<Pixel> pixels(count);
  for (size_t i = 0; i < count; ++i) {
    for (int c = 0; c < 3; ++c) pixels[i][c] = zk::ReadSample(samples.data(), zk::SampleOffset(i, 0, c, count, depth), depth);
  }
  return pixels;
}

std::vector<Pixel> ToneMap(const std::vector<Pixel>& source, int depth, double* logAverage = nullptr,
                           zk::SampleEncoding encoding = zk::SampleEncoding::Linear) {
  const std::vector<std::uint8_t> in = Image16(source);
  std::vector<std::uint8_t> out(source.size() * 3 * static_cast<size_t>(depth / 8), 0xCD);
  const double average = zk::ToneMapImage(in.data(), source.size(), 1, out.data(), depth, encoding);
  if (logAverage != nullptr) *logAverage = average;
  return Pixels(out, source.size(), depth);
}

// Values worked out by hand from the operator's definition (luminance weights 0.2126/0.7152/0.0722,
// key 0.18, floor 1e-4, Reinhard, gamma 1/2.2), none of them near a rounding boundary.
TEST(CompanionToneMapping, KnownPixelsAtBothDepths) {
  // An even grey picture lands on the key whatever its level: 0.18 / 1.18 = 0.1525, encoded 0.4254
  // (only very dark pictures drop below it, where the floor of the logarithm starts to count).
  for (std::uint32_t level : {2000u, 20000u, 65535u}) {
    EXPECT_EQ(ToneMap(std::vector<Pixel>(4, {level, level, level}), 8), std::vector<Pixel>(4, Pixel{108, 108, 108}))
        << level;
  }
  // Black, dark grey, saturated red, an orange, white and a dark blue in one picture.
  const std::vector<Pixel> source = {{0, 0, 0},         {6554, 6554, 6554},   {65535, 0, 0},
                                     {30000, 20000, 10000}, {65535, 65535, 65535}, {1000, 2000, 3000}};
  double logAverage = 0;
  const std::vector<Pixel> expected8 = {{0, 0, 0},       {138, 138, 138}, {255, 0, 0},
                                        {223, 185, 135}, {227, 227, 227}, {64, 88, 106}};
  EXPECT_EQ(ToneMap(source, 8, &logAverage), expected8);
  EXPECT_NEAR(logAverage, 0.0520177, 1e-6);
  // The red pixel's channel goes beyond 1 after scaling: it is clipped to the top, not wrapped.
  const std::vector<Pixel> expected16 = {{0, 0, 0},           {35345, 35345, 35345}, {65535, 0, 0},
                                         {57279, 47638, 34764}, {58393, 58393, 58393}, {16496, 22605, 27180}};
  EXPECT_EQ(ToneMap(source, 16), expected16);
}

TEST(CompanionToneMapping, GreyRampStaysInOrderAndColourRatiosStay) {
  // A grey ramp from black to white, with a colour pixel in between.
  std::vector<Pixel> source;
  for (std::uint32_t level = 0; level <= 65535; level += 4369) source.push_back({level, level, level});
  source.push_back({12000, 6000, 3000});
  const std::vector<Pixel> out = ToneMap(source, 16);
  for (size_t i = 1; i + 1 < source.size(); ++i) {
    EXPECT_GT(out[i][0], out[i - 1][0]) << "ramp step " << i;
    EXPECT_EQ(out[i][0], out[i][1]);
    EXPECT_EQ(out[i][0], out[i][2]);
  }
  // Undoing the gamma gives back the source's 4 : 2 : 1.
  const Pixel& colour = out.back();
  const auto linear = [](std::uint32_t v) { return std::pow(v / 65535.0, 2.2); };
  EXPECT_NEAR(linear(colour[0]) / linear(colour[1]), 2.0, 0.01);
  EXPECT_NEAR(linear(colour[1]) / linear(colour[2]), 2.0, 0.01);

  // The same input gives the same bytes, and 8 bits are the 16-bit result at the coarser step.
  EXPECT_EQ(ToneMap(source, 16), out);
  const std::vector<Pixel> out8 = ToneMap(source, 8);
  for (size_t i = 0; i < source.size(); ++i) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(out8[i][c] * 257.0, out[i][c], 257.0) << i;
  }
}

// An 8-bit picture holds sRGB code values. Taken as linear light, a photograph's shadows would be
// lifted twice and the result would come out flat; decoded first, it maps as the same light in
// 16-bit linear samples does.
TEST(CompanionToneMapping, SrgbSamplesAreDecodedToTheLightTheyStandFor) {
  const struct {
    double encoded, linear;
  } points[] = {{0.0, 0.0}, {0.04045, 0.0031308}, {0.5, 0.2140411}, {0.8, 0.6038273}, {1.0, 1.0}};
  for (const auto& point : points) EXPECT_NEAR(zk::SrgbToLinear(point.encoded), point.linear, 1e-6) << point.encoded;

  // The same light twice: as 8-bit sRGB code values scaled to 16 bits (x 257), and as linear samples.
  const std::vector<Pixel> codes = {{0, 0, 0},    {20, 20, 20},   {60, 40, 30},  {128, 128, 128},
                                    {200, 90, 40}, {240, 240, 250}, {255, 255, 255}};
  std::vector<Pixel> encoded, linear;
  for (const Pixel& code : codes) {
    Pixel e{}, l{};
    for (int c = 0; c < 3; ++c) {
      e[c] = code[c] * 257;
      l[c] = static_cast<std::uint32_t>(std::lround(zk::SrgbToLinear(code[c] / 255.0) * 65535.0));
    }
    encoded.push_back(e);
    linear.push_back(l);
  }
  double decodedAverage = 0, linearAverage = 0, codeAverage = 0;
  const std::vector<Pixel> decoded = ToneMap(encoded, 8, &decodedAverage, zk::SampleEncoding::Srgb);
  const std::vector<Pixel> fromLight = ToneMap(linear, 8, &linearAverage);
  EXPECT_NEAR(decodedAverage, linearAverage, 1e-4);
  for (size_t i = 0; i < codes.size(); ++i) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(double(decoded[i][c]), double(fromLight[i][c]), 1.0) << "pixel " << i;
  }
  // Read as linear, the code values give a brighter log-average and lift the dark grey far up (48 -> 93).
  const std::vector<Pixel> asIfLinear = ToneMap(encoded, 8, &codeAverage);
  EXPECT_GT(codeAverage, 2 * decodedAverage);
  EXPECT_GT(int(asIfLinear[1][0]), int(decoded[1][0]) + 30);
}

}  // namespace
