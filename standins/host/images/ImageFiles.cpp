#include "ImageFiles.h"

#include "ImageSamples.h"
#include "Png16Encoder.h"
#include "TextConvert.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

// stb's functions stay private to this file (STB_*_STATIC), so another library of the process
// may carry its own copy of stb without a clash of symbols.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>

namespace zk {
namespace {

struct StbFree {
  void operator()(void* pixels) const { stbi_image_free(pixels); }
};

// Files larger than this are no picture the stand-in opens.
constexpr uintmax_t kLargestImageFile = uintmax_t(1) << 30;

bool ReadWholeFile(const std::wstring& path, std::string* bytes, std::string* error) {
  std::error_code failure;
  const uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), failure);
  if (failure || size > kLargestImageFile) {
    *error = failure ? "cannot read \"" + WideToUtf8(path) + "\": " + failure.message()
                     : "\"" + WideToUtf8(path) + "\" is too large for an image file";
    return false;
  }
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) {
    *error = "cannot open \"" + WideToUtf8(path) + "\"";
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes, std::string* error) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), std::streamsize(bytes.size()));
  file.close();
  if (!file) {
    *error = "cannot write \"" + WideToUtf8(path) + "\"";
    return false;
  }
  return true;
}

void AppendBytes(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
}

}  // namespace

bool ReadImageFile(const std::wstring& path, ImagePixels* image, std::string* error, ImageFileFacts* facts) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  if (bytes.size() > size_t(INT_MAX)) {
    *error = "\"" + WideToUtf8(path) + "\" is too large for an image file";
    return false;
  }
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = int(bytes.size());
  int width = 0, height = 0, channels = 0;
  const bool sixteen = stbi_is_16_bit_from_memory(data, length) != 0;
  std::unique_ptr<void, StbFree> pixels(
      sixteen ? static_cast<void*>(stbi_load_16_from_memory(data, length, &width, &height, &channels, kSamplesPerPixel))
              : static_cast<void*>(stbi_load_from_memory(data, length, &width, &height, &channels, kSamplesPerPixel)));
  if (!pixels) {
    *error = "\"" + WideToUtf8(path) + "\" is no image file that can be read (" + stbi_failure_reason() + ")";
    return false;
  }
  std::string().swap(bytes);  // the file is decoded: its memory goes before the picture's copy is made
  const int32_t depth = sixteen ? 16 : 8;
  uint64_t count = 0;
  if (!ImageBytes(width, height, depth, &count)) {
    *error = "\"" + WideToUtf8(path) + "\" is too large a picture";
    return false;
  }
  image->width = width;
  image->height = height;
  image->depth = depth;
  image->samples.assign(size_t(count), 0);
  const size_t sampleCount = size_t(count) / size_t(depth / 8);
  for (size_t i = 0; i < sampleCount; ++i) {
    // stb gives 16-bit samples in the machine's order; the shared layout's is little-endian.
    const uint32_t value = sixteen ? static_cast<const uint16_t*>(pixels.get())[i]
                                   : static_cast<const uint8_t*>(pixels.get())[i];
    WriteSample(image->samples.data(), i * size_t(depth / 8), depth, value);
  }
  if (facts) *facts = ImageFileFacts{channels, depth};
  return true;
}

bool WritePngFile(const std::wstring& path, const ImagePixels& image, std::string* error) {
  if (!HasConsistentSamples(image) || image.width > INT_MAX / kSamplesPerPixel || image.height > INT_MAX) {
    *error = "the picture for \"" + WideToUtf8(path) + "\" has no consistent size";
    return false;
  }
  std::string bytes;
  if (image.depth == 16) {
    bytes = EncodePng16(image);
  } else {
    const int stride = int(image.width) * kSamplesPerPixel;
    if (!stbi_write_png_to_func(AppendBytes, &bytes, int(image.width), int(image.height), kSamplesPerPixel,
                                image.samples.data(), stride)) {
      bytes.clear();
    }
  }
  if (bytes.empty()) {
    *error = "cannot encode the picture for \"" + WideToUtf8(path) + "\" as PNG";
    return false;
  }
  return WriteWholeFile(path, bytes, error);
}

}  // namespace zk
