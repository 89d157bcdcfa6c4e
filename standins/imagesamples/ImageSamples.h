// How an image's samples lie in a shared segment, the one layout that the companion, the export
// plug-in (which writes a document's pixels) and the import plug-in (which makes a document from
// them) share. The module in between never reads a sample; it only hands the address on.
//
//   - three samples per pixel: red, green, blue, interleaved;
//   - rows from the top of the image down, pixels from left to right;
//   - no padding, neither between rows nor at the end: width × height × 3 × (depth ÷ 8) bytes;
//   - depth 8: one byte per sample; depth 16: two bytes per sample, little-endian, full range
//     0..65535.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk {

constexpr int kSamplesPerPixel = 3;

// The bytes an image takes in this layout. False for a width or height that is not above 0, a
// depth other than 8 or 16, or a size that does not fit 63 bits.
inline bool ImageByteCount(int64_t width, int64_t height, int32_t depth, uint64_t* bytes) {
  if (width <= 0 || height <= 0 || (depth != 8 && depth != 16)) return false;
  const uint64_t perPixel = uint64_t(kSamplesPerPixel) * uint64_t(depth / 8);
  const uint64_t limit = uint64_t(INT64_MAX);
  if (uint64_t(width) > limit / uint64_t(height)) return false;
  const uint64_t pixels = uint64_t(width) * uint64_t(height);
  if (pixels > limit / perPixel) return false;
  *bytes = pixels * perPixel;
  return true;
}

// Offset of one sample (channel 0 red, 1 green, 2 blue) of the pixel at column x, row y.
inline size_t SampleOffset(size_t x, size_t y, int channel, size_t width, int32_t depth) {
  return ((y * width + x) * kSamplesPerPixel + size_t(channel)) * size_t(depth / 8);
}

// Reads and writes one sample at an offset, as a value of the image's depth.
inline uint32_t ReadSample(const uint8_t* samples, size_t offset, int32_t depth) {
  return depth == 16 ? uint32_t(samples[offset]) | uint32_t(samples[offset + 1]) << 8 : uint32_t(samples[offset]);
}
inline void WriteSample(uint8_t* samples, size_t offset, int32_t depth, uint32_t value) {
  samples[offset] = uint8_t(value);
  if (depth == 16) samples[offset + 1] = uint8_t(value >> 8);
}

}  // namespace zk
