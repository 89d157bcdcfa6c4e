#include "TranscriptFile.h"

#include "WindowsOwners.h"
#include "QuotedText.h"

#include <windows.h>

namespace zk::test {

TranscriptFile::TranscriptFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char buffer[4096];
  DWORD got = 0;
  while (file && ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got != 0) text_.append(buffer, got);
  size_t start = 0;
  while (start < text_.size()) {
    size_t end = text_.find('\n', start);
    if (end == std::string::npos) end = text_.size();
    const std::string line = text_.substr(start, end - start);
    start = end + 1;
    const size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    lines_.emplace_back(line.substr(0, colon), line.substr(colon + 2));
  }
}

std::vector<std::string> TranscriptFile::Values(const std::string& key) const {
  std::vector<std::string> values;
  for (const auto& line : lines_) {
    if (line.first == key) values.push_back(line.second);
  }
  return values;
}

std::vector<std::string> TranscriptFile::Keys() const {
  std::vector<std::string> keys;
  for (const auto& line : lines_) keys.push_back(line.first);
  return keys;
}

std::vector<std::wstring> QuotedTexts(const std::string& value) {
  std::vector<std::wstring> texts;
  size_t pos = 0;
  while (pos < value.size()) {
    if (value[pos] == ' ') {
      ++pos;
      continue;
    }
    std::wstring text;
    std::string error;
    if (!ReadQuotedText(value, pos, text, error)) break;
    texts.push_back(text);
  }
  return texts;
}

std::vector<std::uint8_t> HexToBytes(const std::string& value) {
  std::vector<std::uint8_t> bytes;
  for (size_t i = 0; i + 1 < value.size(); i += 3) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(value.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

}  // namespace zk::test
