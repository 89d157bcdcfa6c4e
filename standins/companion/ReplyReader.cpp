#include "ReplyReader.h"

#include "PipeClient.h"
#include "WireFormat.h"

namespace zk {

Reply ReadReply(HANDLE pipe) {
  Reply reply;
  while (true) {
    std::uint8_t countBytes[4];
    size_t received = 0;
    reply.error = ReadExactly(pipe, countBytes, sizeof countBytes, received);
    reply.bytes.insert(reply.bytes.end(), countBytes, countBytes + received);
    if (reply.error != 0) return reply;
    const std::uint32_t count = DecodeCount(countBytes);
    if (count == 0) {
      reply.complete = true;
      return reply;
    }
    if (count > kLongestReplyField) {
      reply.problem = "a reply field of " + std::to_string(count) + " bytes is longer than " +
                      std::to_string(kLongestReplyField) + " allowed";
      return reply;
    }
    std::vector<std::uint8_t> text(count);
    reply.error = ReadExactly(pipe, text.data(), text.size(), received);
    reply.bytes.insert(reply.bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(received));
    if (reply.error != 0) return reply;
    std::wstring field(count / 2, L'\0');
    for (size_t i = 0; i < field.size(); ++i) {
      field[i] = static_cast<wchar_t>(text[2 * i] | (text[2 * i + 1] << 8));
    }
    reply.fields.push_back(std::move(field));
  }
}

}  // namespace zk
