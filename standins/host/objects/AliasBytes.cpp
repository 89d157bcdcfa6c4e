#include "AliasBytes.h"

#include "TextConvert.h"

namespace zk {
namespace {

const std::string kMagic("\0ZKa", 4);
constexpr char kFileKind = 0;
constexpr char kCloudKind = 1;
constexpr size_t kHeaderBytes = 5;  // the magic and the kind

bool ReadRecord(const std::string& bytes, size_t at, AliasContent* content) {
  if (bytes.compare(at, kMagic.size(), kMagic) != 0 || bytes.size() < at + kHeaderBytes) return false;
  const char kind = bytes[at + kMagic.size()];
  const size_t unitBytes = bytes.size() - at - kHeaderBytes;
  if ((kind != kFileKind && kind != kCloudKind) || unitBytes == 0 || unitBytes % 2 != 0) return false;
  content->cloud = kind == kCloudKind;
  content->path.clear();
  for (size_t i = at + kHeaderBytes; i < bytes.size(); i += 2) {
    content->path.push_back(char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
  }
  return true;
}

}  // namespace

std::string WideAliasBytes(const std::u16string& path, bool cloud) {
  std::string bytes = kMagic;
  bytes.push_back(cloud ? kCloudKind : kFileKind);
  for (const char16_t unit : path) {
    bytes.push_back(char(unit & 0xFF));
    bytes.push_back(char(unit >> 8));
  }
  return bytes;
}

std::string FileReferenceBytes(const std::string& utf8Path, NarrowTexts narrow) {
  return Utf8ToNarrow(utf8Path, narrow) + '\0' + WideAliasBytes(Utf8ToUtf16(utf8Path));
}

bool ReadAliasBytes(const std::string& bytes, NarrowTexts narrow, AliasContent* content) {
  *content = AliasContent();
  if (ReadRecord(bytes, 0, content)) return true;
  const size_t end = bytes.find('\0');
  if (end == 0 || bytes.empty()) return false;
  if (end != std::string::npos && ReadRecord(bytes, end + 1, content)) return true;
  content->path = NarrowToUtf16(bytes.substr(0, end), narrow);
  return !content->path.empty();
}

}  // namespace zk
