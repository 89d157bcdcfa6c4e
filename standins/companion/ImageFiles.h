// Image files as the companion reads them: the size from the header (as a real companion reads a
// raw file's header before asking for its pixels) and the whole picture, decoded into the sample
// layout of the shared segments (ImageSamples.h) at a depth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zk {

struct ImageFileSize {
  int width = 0;
  int height = 0;
};

struct DecodedImage {
  int width = 0;
  int height = 0;
  int depth = 0;
  std::vector<std::uint8_t> samples;  // interleaved RGB, rows from the top, 16-bit little-endian
};

// Reads only what is needed for the size. On failure returns false with a reason in error.
bool ReadImageFileSize(const std::wstring& path, ImageFileSize& size, std::string& error);

// Decodes the file to RGB at depth 8 or 16 (an 8-bit file read at 16 bits is scaled to the full
// 16-bit range, a 16-bit file read at 8 bits keeps the high byte).
bool DecodeImageFile(const std::wstring& path, int depth, DecodedImage& image, std::string& error);

}  // namespace zk
