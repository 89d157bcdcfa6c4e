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

bool DocumentPixelBytes(const HostDocument& document, int32_t depth, uint64_t* bytes, std::string* error) {
  int64_t width = 0, height = 0;
  if (!DocumentPixelSize(document, &width, &height)) {
    *error = "the document \"" + document.title + "\" has no size in whole pixels the host can hold";
    return false;
  }
  if (depth != 8 && depth != 16) {
    *error = "a depth of " + std::to_string(depth) + " bits per channel (8 or 16)";
    return false;
  }
  uint64_t own = 0;
  if (!document.samples.empty() &&
      (!ImageBytes(width, height, document.depth, &own) || document.samples.size() != own)) {
    *error = "the pixels of \"" + document.title + "\" do not match its size and depth";
    return false;
  }
  return ImageBytes(width, height, depth, bytes);  // within the sides checked above
}

void WriteDocumentPixels(const HostDocument& document, int32_t depth, uint8_t* pixels) {
  int64_t width = 0, height = 0;
  DocumentPixelSize(document, &width, &height);
  if (document.samples.empty()) {
    WriteGradient(width, height, depth, pixels);
    return;
  }
  const size_t count = document.samples.size() / size_t(document.depth / 8);
  ConvertSamples(document.samples.data(), document.depth, count, pixels, depth);
}

bool DocumentPixels(const HostDocument& document, int32_t depth, ImagePixels* image, std::string* error) {
  uint64_t bytes = 0;
  if (!DocumentPixelBytes(document, depth, &bytes, error)) return false;
  DocumentPixelSize(document, &image->width, &image->height);
  image->depth = depth;
  image->samples.assign(size_t(bytes), 0);
  WriteDocumentPixels(document, depth, image->samples.data());
  return true;
}

}  // namespace zk
