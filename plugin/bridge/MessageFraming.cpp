#include "MessageFraming.h"

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "WireText.h"

namespace {

constexpr uint32_t kFixedBufferBytes = 2048;  // fields of up to 1024 bytes need no allocation

ReadStatus Failed(const char* text) { return ReadStatus{ReadFailed, text}; }

void AppendCount(std::vector<uint8_t>& out, uint32_t count) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(count >> shift));
}

}  // namespace

ReadStatus ReadMessage(ByteChannel& channel, FieldList& fields) {
  fields.clear();
  uint8_t fixedBuffer[kFixedBufferBytes];
  for (;;) {
    uint8_t countBytes[4];
    uint32_t received = 0;
    switch (channel.ReadFully(countBytes, 4, &received)) {
      case ChannelResult::Complete:
        break;
      case ChannelResult::Closed:
        // Closed cleanly before a count: the companion has finished. Inside a count it has not.
        if (received == 0) return ReadStatus{PeerClosed, {}};
        return Failed("Error reading from pipe: 1");
      case ChannelResult::Ended:
        return ReadStatus{ReadRunEnded, {}};
      default:
        return Failed("Error reading from pipe: 1");
    }
    const uint32_t count = uint32_t(countBytes[0]) | uint32_t(countBytes[1]) << 8 | uint32_t(countBytes[2]) << 16 |
                           uint32_t(countBytes[3]) << 24;
    if (count == 0) return ReadStatus{MessageComplete, {}};

    std::unique_ptr<uint8_t[]> largeBuffer;
    uint8_t* buffer = fixedBuffer;
    if (count > kLongestFieldBytes) return Failed("Unable to allocate memory for response");
    if (count > 1024) {
      largeBuffer.reset(new (std::nothrow) uint8_t[count]);
      if (!largeBuffer) return Failed("Unable to allocate memory for response");
      buffer = largeBuffer.get();
    }
    const ChannelResult text = channel.ReadFully(buffer, count, &received);
    if (text == ChannelResult::Ended) return ReadStatus{ReadRunEnded, {}};
    if (text != ChannelResult::Complete) return Failed("Error reading from pipe: 2");
    // An odd last byte is read but is not part of any code unit.
    fields.push_back(WireUnitsToUtf8(buffer, count / 2));
  }
}

bool WriteMessage(ByteChannel& channel, const ReplyFieldList& reply) {
  if (reply.Withdrawn()) return false;  // nothing to send: the connection ends instead
  std::vector<uint8_t> message;
  for (const std::string& field : reply.Fields()) {
    const std::u16string units = Utf8ToWireUnits(field);
    // Counts and the write are 32 bits: a reply beyond them is not sent cut short, it is not sent.
    if (units.size() > UINT32_MAX / 2) return false;
    AppendCount(message, uint32_t(units.size() * 2));
    for (char16_t unit : units) {
      message.push_back(uint8_t(unit));
      message.push_back(uint8_t(unit >> 8));
    }
  }
  AppendCount(message, 0);
  if (message.size() > UINT32_MAX) return false;
  return channel.WriteFully(message.data(), uint32_t(message.size())) == ChannelResult::Complete;
}
