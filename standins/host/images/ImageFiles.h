// Image files in and out of the host: reading any picture stb_image decodes (PNG at 8 and 16 bits
// per sample, JPEG, BMP, ...) and writing a picture as PNG.
#pragma once

#include "ImagePixels.h"

#include <string>

namespace zk {

struct ImageFileFacts {
  int channels = 0;  // in the file: 1 grey, 2 grey and alpha, 3 RGB, 4 RGB and alpha
  int32_t depth = 0;  // bits per sample in the file as decoded: 16 for 16-bit PNG, else 8
};

// Decodes the file into RGB at the file's own depth (grey is spread over the three channels, alpha
// is dropped). False with a reason for a file that cannot be read or decoded.
bool ReadImageFile(const std::wstring& path, ImagePixels* image, std::string* error, ImageFileFacts* facts = nullptr);

// Writes the picture as PNG at its depth: 8 through stb_image_write, 16 through EncodePng16.
bool WritePngFile(const std::wstring& path, const ImagePixels& image, std::string* error);

}  // namespace zk
