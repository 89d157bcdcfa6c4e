#include "WireFormat.h"

namespace zk {

std::vector<std::uint8_t> EncodeCount(std::uint32_t count) {
  return {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
          static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
}

std::vector<std::uint8_t> EncodeText(const std::wstring& text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (wchar_t unit : text) {
    const auto value = static_cast<std::uint16_t>(unit);
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  return bytes;
}

std::vector<std::uint8_t> EncodeField(const std::wstring& text) {
  std::vector<std::uint8_t> bytes = EncodeCount(static_cast<std::uint32_t>(text.size() * 2));
  const std::vector<std::uint8_t> units = EncodeText(text);
  bytes.insert(bytes.end(), units.begin(), units.end());
  return bytes;
}

std::vector<std::uint8_t> EncodeMessage(const std::vector<std::wstring>& fields) {
  std::vector<std::uint8_t> bytes;
  for (const std::wstring& field : fields) {
    const std::vector<std::uint8_t> encoded = EncodeField(field);
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
  }
  const std::vector<std::uint8_t> end = EncodeCount(0);
  bytes.insert(bytes.end(), end.begin(), end.end());
  return bytes;
}

std::uint32_t DecodeCount(const std::uint8_t* data) {
  return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

bool HoldsWholeMessage(const std::vector<std::uint8_t>& bytes) {
  size_t at = 0;
  while (bytes.size() >= 4 && at <= bytes.size() - 4) {
    const std::uint32_t count = DecodeCount(&bytes[at]);
    if (count == 0) return true;
    at += 4 + size_t(count);
  }
  return false;
}

}  // namespace zk
