// A picture held by the host in the sample layout of the shared segments (ImageSamples.h): a
// document's pixels, a decoded image file, what the export plug-in writes.
#pragma once

#include <cstdint>
#include <vector>

namespace zk {

struct ImagePixels {
  int64_t width = 0;
  int64_t height = 0;
  int32_t depth = 8;             // 8 or 16 bits per sample
  std::vector<uint8_t> samples;  // width × height × 3 samples, layout of ImageSamples.h
};

// The longest side of a picture the stand-in holds, as the real host: its documents go up to
// 300,000 pixels a side. Sizes come from other processes' numbers, so they are checked before
// anything is reserved. There is no bound on the bytes: memory decides, and a picture the host
// cannot hold fails its event with the host's out-of-memory status.
constexpr int64_t kLargestImageSide = 300000;

// The bytes of a picture of that size in the shared layout; false for a size that is not positive,
// a side beyond kLargestImageSide, or a depth other than 8 or 16.
bool ImageBytes(int64_t width, int64_t height, int32_t depth, uint64_t* bytes);

// Whether the samples are exactly as many as the size and depth say.
bool HasConsistentSamples(const ImagePixels& image);

// The same samples at another depth. 8 to 16 multiplies by 257 (255 becomes 65535); 16 to 8
// divides by 257, rounded to the nearest, so that 8 -> 16 -> 8 gives every sample back.
std::vector<uint8_t> ConvertSampleDepth(const std::vector<uint8_t>& samples, int32_t from, int32_t to);
// The same, count samples written straight into to (room for count samples at depth toDepth).
void ConvertSamples(const uint8_t* from, int32_t fromDepth, size_t count, uint8_t* to, int32_t toDepth);

// A picture for documents that have none of their own (those zkhost opens from a --document
// line): red rises from left to right, green from top to bottom, blue from right to left. Always
// the same for a size and depth, so that tests and the companion can compute it too. False for a
// size ImageBytes refuses.
bool GradientImage(int64_t width, int64_t height, int32_t depth, ImagePixels* image);
// The same picture written straight into samples (room for ImageBytes of the size), for a picture
// too large to build twice; the size must be one ImageBytes takes.
void WriteGradient(int64_t width, int64_t height, int32_t depth, uint8_t* samples);

}  // namespace zk
