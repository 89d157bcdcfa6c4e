// Reading the companion's transcript back: "key: value" lines.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zk::test {

class TranscriptFile {
 public:
  explicit TranscriptFile(const std::wstring& path);

  // The values of every line with this key, in order.
  std::vector<std::string> Values(const std::string& key) const;
  // The keys in order, for checking the sequence of events.
  std::vector<std::string> Keys() const;
  bool Has(const std::string& key) const { return !Values(key).empty(); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::vector<std::pair<std::string, std::string>> lines_;
};

// Reads the quoted texts of a "reply:"/"request:" value back into UTF-16.
std::vector<std::wstring> QuotedTexts(const std::string& value);

// "04 00 4F 00" into bytes.
std::vector<std::uint8_t> HexToBytes(const std::string& value);

}  // namespace zk::test
