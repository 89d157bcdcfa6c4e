#include "DocumentImage.h"

#include <cmath>

namespace zk {
namespace {

bool ToPixels(const HostDocument& document, double length, int64_t* pixels) {
  const double value = document.unit == unitDistance ? length * document.resolution / 72.0 : length;
  if (!(value >= 0.5 && value < double(kLargestImageSide) + 0.5)) return false;  // also refuses NaN
  *pixels = std::llround(value);
  return true;
}

}  // namespace

bool DocumentPixelSize(const HostDocument& document, int64_t* width, int64_t* height) {
  return ToPixels(document, document.width, width) && ToPixels(document, document.height, height);
}

bool DocumentPixels(const HostDocument& document, int32_t depth, ImagePixels* image, std::string* error) {
  int64_t width = 0, height = 0;
  if (!DocumentPixelSize(document, &width, &height)) {
    *error = "the document \"" + document.title + "\" has no size in whole pixels the host can hold";
    return false;
  }
  if (depth != 8 && depth != 16) {
    *error = "a depth of " + std::to_string(depth) + " bits per channel (8 or 16)";
    return false;
  }
  if (document.samples.empty()) {
    if (GradientImage(width, height, depth, image)) return true;
    *error = "the document \"" + document.title + "\" is too large a picture";
    return false;
  }
  uint64_t bytes = 0;
  if (!ImageBytes(width, height, document.depth, &bytes) || document.samples.size() != bytes) {
    *error = "the pixels of \"" + document.title + "\" do not match its size and depth";
    return false;
  }
  image->width = width;
  image->height = height;
  image->depth = depth;
  image->samples = ConvertSampleDepth(document.samples, document.depth, depth);
  return true;
}

}  // namespace zk
