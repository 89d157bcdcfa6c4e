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

// The largest picture the stand-in holds. Sizes come from other processes' numbers, so they are
// checked before anything is reserved; the bound is far above any test or demo picture.
constexpr int64_t kLargestImageSide = 300000;
constexpr uint64_t kLargestImageBytes = uint64_t(1) << 31;

// The bytes of a picture of that size in the shared layout; false for a size that is not positive,
// a depth other than 8 or 16, or a picture beyond the bounds above.
bool ImageBytes(int64_t width, int64_t height, int32_t depth, uint64_t* bytes);

// Whether the samples are exactly as many as the size and depth say.
bool HasConsistentSamples(const ImagePixels& image);

// The same samples at another depth. 8 to 16 multiplies by 257 (255 becomes 65535); 16 to 8
// divides by 257, rounded to the nearest, so that 8 -> 16 -> 8 gives every sample back.
std::vector<uint8_t> ConvertSampleDepth(const std::vector<uint8_t>& samples, int32_t from, int32_t to);

// A picture for documents that have none of their own (those zkhost opens from a --document
// line): red rises from left to right, green from top to bottom, blue from right to left. Always
// the same for a size and depth, so that tests and the companion can compute it too. False for a
// size ImageBytes refuses.
bool GradientImage(int64_t width, int64_t height, int32_t depth, ImagePixels* image);

}  // namespace zk
