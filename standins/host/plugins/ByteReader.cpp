#include "ByteReader.h"

namespace zk {

bool ByteReader::ReadU8(uint8_t* value) {
  if (Remaining() < 1) return false;
  *value = bytes_[offset_++];
  return true;
}

bool ByteReader::ReadU16(uint16_t* value) {
  if (Remaining() < 2) return false;
  *value = uint16_t(bytes_[offset_] | (bytes_[offset_ + 1] << 8));
  offset_ += 2;
  return true;
}

bool ByteReader::ReadI16(int16_t* value) {
  uint16_t raw = 0;
  if (!ReadU16(&raw)) return false;
  *value = int16_t(raw);
  return true;
}

bool ByteReader::ReadU32(uint32_t* value) {
  if (Remaining() < 4) return false;
  *value = uint32_t(bytes_[offset_]) | (uint32_t(bytes_[offset_ + 1]) << 8) | (uint32_t(bytes_[offset_ + 2]) << 16) |
           (uint32_t(bytes_[offset_ + 3]) << 24);
  offset_ += 4;
  return true;
}

bool ByteReader::ReadI32(int32_t* value) {
  uint32_t raw = 0;
  if (!ReadU32(&raw)) return false;
  *value = int32_t(raw);
  return true;
}

bool ByteReader::ReadPascal(std::string* text) {
  uint8_t length = 0;
  if (Remaining() < 1 || size_t(bytes_[offset_]) + 1 > Remaining()) return false;
  ReadU8(&length);
  text->assign(reinterpret_cast<const char*>(bytes_ + offset_), length);
  offset_ += length;
  return true;
}

bool ByteReader::ReadZeroTerminated(size_t maxBytes, std::string* text) {
  size_t limit = maxBytes < Remaining() ? maxBytes : Remaining();
  for (size_t i = 0; i < limit; ++i) {
    if (bytes_[offset_ + i] == 0) {
      text->assign(reinterpret_cast<const char*>(bytes_ + offset_), i);
      offset_ += i + 1;
      return true;
    }
  }
  return false;
}

bool ByteReader::Skip(size_t count) {
  if (Remaining() < count) return false;
  offset_ += count;
  return true;
}

}  // namespace zk
