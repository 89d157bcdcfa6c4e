// PNG files of 16 bits per sample, which stb_image_write cannot write: RGB, no interlacing, every
// row unfiltered, the image data in stored (uncompressed) deflate blocks. Big, but plain enough to
// check by eye, and any PNG reader takes it.
#pragma once

#include "ImagePixels.h"

#include <string>

namespace zk {

// The whole file's bytes; the image must have depth 16 and consistent samples (else empty).
std::string EncodePng16(const ImagePixels& image);

}  // namespace zk
