#include "ImageFiles.h"

#include "ImageSamples.h"
#include "Utf8.h"

// The one place the decoder's implementation is compiled. Paths go to it as UTF-8 so that names
// outside the ANSI code page open too.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_WINDOWS_UTF8
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

#include <cstdio>
#include <memory>

namespace zk {

namespace {

std::string FailureReason() {
  const char* reason = stbi_failure_reason();
  return reason != nullptr ? std::string(reason) : std::string("unknown reason");
}

// stb_image 2.27 (Debian's libstb-dev) hands the samples of a 16-bit PNM over in the file's
// big-endian order as if they were the machine's: every value would come out byte-swapped, and
// read at 8 bits the low byte would stand for the value.
bool IsSixteenBitPnm(const std::wstring& path, const std::string& utf8Path) {
  if (!stbi_is_16_bit(utf8Path.c_str())) return false;
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return false;
  char magic[2] = {};
  const bool read = std::fread(magic, 1, 2, file) == 2;
  std::fclose(file);
  return read && magic[0] == 'P' && (magic[1] == '5' || magic[1] == '6');
}

}  // namespace

bool ReadImageFileSize(const std::wstring& path, ImageFileSize& size, std::string& error) {
  int channels = 0;
  if (!stbi_info(EncodeUtf8(path).c_str(), &size.width, &size.height, &channels)) {
    error = "cannot read the image file's header: " + FailureReason();
    return false;
  }
  return true;
}

bool DecodeImageFile(const std::wstring& path, int depth, DecodedImage& image, std::string& error) {
  const std::string utf8 = EncodeUtf8(path);
  if (IsSixteenBitPnm(path, utf8)) {
    error = "16-bit PNM files are not decoded (this stb_image swaps their bytes); use a 16-bit PNG";
    return false;
  }
  int width = 0, height = 0, channels = 0;
  using Pixels = std::unique_ptr<void, void (*)(void*)>;
  Pixels pixels(depth == 16 ? static_cast<void*>(stbi_load_16(utf8.c_str(), &width, &height, &channels, kSamplesPerPixel))
                            : static_cast<void*>(stbi_load(utf8.c_str(), &width, &height, &channels, kSamplesPerPixel)),
                stbi_image_free);
  std::uint64_t bytes = 0;
  if (!pixels) {
    error = "cannot decode the image file: " + FailureReason();
    return false;
  }
  if (!ImageByteCount(width, height, depth, &bytes)) {
    error = "the image file's size " + std::to_string(width) + " x " + std::to_string(height) + " is not usable";
    return false;
  }
  image.width = width;
  image.height = height;
  image.depth = depth;
  image.samples.assign(static_cast<size_t>(bytes), 0);
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * kSamplesPerPixel;
  for (size_t i = 0; i < count; ++i) {
    const std::uint32_t value = depth == 16 ? static_cast<const std::uint16_t*>(pixels.get())[i]
                                            : static_cast<const std::uint8_t*>(pixels.get())[i];
    WriteSample(image.samples.data(), i * static_cast<size_t>(depth / 8), depth, value);
  }
  return true;
}

}  // namespace zk
