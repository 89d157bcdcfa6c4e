// Bounded little-endian reading of a resource: every read checks the remaining size first, so a
// truncated or lying resource can never make a parser read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zk {

class ByteReader {
 public:
  ByteReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  size_t Offset() const { return offset_; }
  size_t Remaining() const { return size_ - offset_; }

  bool ReadU8(uint8_t* value);
  bool ReadU16(uint16_t* value);
  bool ReadI16(int16_t* value);
  bool ReadU32(uint32_t* value);
  bool ReadI32(int32_t* value);
  // A length byte followed by that many characters.
  bool ReadPascal(std::string* text);
  // Characters up to a zero byte, which must lie within the next maxBytes bytes; the zero is consumed.
  bool ReadZeroTerminated(size_t maxBytes, std::string* text);
  bool Skip(size_t count);

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t offset_ = 0;
};

}  // namespace zk
