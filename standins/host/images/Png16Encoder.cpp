#include "Png16Encoder.h"

#include "ImageSamples.h"

#include <array>

namespace zk {
namespace {

constexpr size_t kLargestStoredBlock = 65535;

uint32_t Crc32(const std::string& bytes, size_t first) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = first; i < bytes.size(); ++i) crc = table[(crc ^ uint8_t(bytes[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes) {
  uint32_t a = 1, b = 0;
  for (char c : bytes) {
    a = (a + uint8_t(c)) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

void PutBigEndian32(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(char(uint8_t(value >> shift)));
}

void PutChunk(std::string* file, const char* type, const std::string& data) {
  PutBigEndian32(file, uint32_t(data.size()));
  const size_t typeStart = file->size();
  file->append(type, 4);
  file->append(data);
  PutBigEndian32(file, Crc32(*file, typeStart));
}

// A zlib stream of stored blocks: no compression, so no deflate encoder is needed.
std::string StoredZlib(const std::string& raw) {
  std::string out = {char(0x78), char(0x01)};
  size_t at = 0;
  do {
    const size_t length = raw.size() - at < kLargestStoredBlock ? raw.size() - at : kLargestStoredBlock;
    const bool last = at + length == raw.size();
    out.push_back(char(last ? 1 : 0));
    out.push_back(char(uint8_t(length)));
    out.push_back(char(uint8_t(length >> 8)));
    out.push_back(char(uint8_t(~length)));
    out.push_back(char(uint8_t(~length >> 8)));
    out.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  PutBigEndian32(&out, Adler32(raw));
  return out;
}

}  // namespace

std::string EncodePng16(const ImagePixels& image) {
  if (image.depth != 16 || !HasConsistentSamples(image) || image.width > INT32_MAX || image.height > INT32_MAX) {
    return {};
  }
  // Each row: filter type 0, then its samples big-endian (PNG's order; the shared layout's is little).
  const size_t rowSamples = size_t(image.width) * kSamplesPerPixel;
  std::string raw;
  raw.reserve(size_t(image.height) * (1 + rowSamples * 2));
  for (size_t y = 0; y < size_t(image.height); ++y) {
    raw.push_back('\0');
    for (size_t i = 0; i < rowSamples; ++i) {
      const uint32_t value = ReadSample(image.samples.data(), (y * rowSamples + i) * 2, 16);
      raw.push_back(char(uint8_t(value >> 8)));
      raw.push_back(char(uint8_t(value)));
    }
  }
  std::string header;
  PutBigEndian32(&header, uint32_t(image.width));
  PutBigEndian32(&header, uint32_t(image.height));
  header += std::string{char(16), char(2), char(0), char(0), char(0)};  // depth, RGB, deflate, filters, no interlace

  std::string file = "\x89PNG\r\n\x1A\n";
  PutChunk(&file, "IHDR", header);
  PutChunk(&file, "IDAT", StoredZlib(raw));
  PutChunk(&file, "IEND", "");
  return file;
}

}  // namespace zk
