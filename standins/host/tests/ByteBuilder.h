// Builds resource bytes by hand for parser tests: little-endian numbers, codes stored reversed.
#pragma once

#include "HostTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zk_test {

class ByteBuilder {
 public:
  ByteBuilder& U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  ByteBuilder& U16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
  ByteBuilder& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
  ByteBuilder& Code(const char (&code)[5]) { return U32(FourCC(code)); }
  ByteBuilder& Text(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  ByteBuilder& Pascal(const std::string& text) { return U8(uint8_t(text.size())).Text(text); }
  ByteBuilder& Zeros(size_t n) {
    bytes_.insert(bytes_.end(), n, 0);
    return *this;
  }
  ByteBuilder& Bytes(const std::vector<uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  // One property list entry: '8BIM', key, id 0, the recorded length, the data zero-padded to 4.
  ByteBuilder& Property(const char (&key)[5], const std::vector<uint8_t>& data, bool recordPadded = true) {
    size_t padded = (data.size() + 3) / 4 * 4;
    Code("8BIM").Code(key).U32(0).U32(uint32_t(recordPadded ? padded : data.size()));
    return Bytes(data).Zeros(padded - data.size());
  }
  const std::vector<uint8_t>& Get() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

inline std::vector<uint8_t> Data(const ByteBuilder& b) { return b.Get(); }

}  // namespace zk_test
