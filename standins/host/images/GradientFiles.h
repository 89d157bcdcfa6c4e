// Gradient files: picture files the stand-in's raw converter makes the pixels of instead of
// decoding them. The file is one line of text,
//   zk-gradient WIDTH HEIGHT DEPTH
// and opens as a document of that size and depth whose pixels are GradientImage of its size
// (ImagePixels.h), made when they are exported or written. A raw file of gigabytes of pixels
// then takes a file of a few bytes and no decoding, where a decoded picture is bound by its
// decoder (stb_image gives at most 2 GiB of pixels) and by the host's limit on image files.
#pragma once

#include <cstdint>
#include <string>

namespace zk {

struct GradientFile {
  int64_t width = 0;
  int64_t height = 0;
  int32_t depth = 16;
};

bool WriteGradientFile(const std::wstring& path, const GradientFile& picture, std::string* error);

// Whether the file at path is a gradient file (it begins with "zk-gradient "). When it is, true and
// its picture, or false with a reason for a size or depth the host cannot hold; when it is not (or
// cannot be read), false with *isGradient false and nothing else said.
bool ReadGradientFile(const std::wstring& path, GradientFile* picture, bool* isGradient, std::string* error);

}  // namespace zk
