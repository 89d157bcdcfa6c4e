// libFuzzer harness for what the module reads from the companion: a message's framing, the text
// conversions both ways, and the numbers in request fields. Platform-independent code, built
// natively with sanitizers by scripts/fuzz.sh. The input is the byte stream, delivered in pieces
// whose sizes the input's first byte chooses, as a pipe may deliver them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "MessageFraming.h"
#include "RequestNumbers.h"
#include "WireText.h"

namespace {

class PiecewiseChannel : public ByteChannel {
 public:
  PiecewiseChannel(const uint8_t* bytes, size_t size, size_t piece) : data(bytes), left(size), pieceSize(piece) {}

  ChannelResult ReadFully(void* buffer, uint32_t size, uint32_t* received) override {
    *received = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (*received < size) {
      if (left == 0) return ChannelResult::Closed;
      size_t take = size - *received;
      if (take > pieceSize) take = pieceSize;
      if (take > left) take = left;
      std::memcpy(out + *received, data, take);
      data += take;
      left -= take;
      *received += uint32_t(take);
    }
    return ChannelResult::Complete;
  }
  ChannelResult WriteFully(const void*, uint32_t) override { return ChannelResult::Complete; }

 private:
  const uint8_t* data;
  size_t left;
  size_t pieceSize;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  PiecewiseChannel channel(data + 1, size - 1, size_t(data[0] % 7) + 1);
  FieldList fields;
  for (int message = 0; message < 8; ++message) {
    const ReadStatus status = ReadMessage(channel, fields);
    for (const std::string& field : fields) {
      int32_t number = 0;
      uint64_t size64 = 0;
      ReadSignedNumber(field, &number);
      ReadSizeNumber(field, &size64);
      // What was read goes back out: every field must survive the way to the wire.
      ReplyFieldList reply;
      if (!field.empty()) reply.Append(field);
      WriteMessage(channel, reply);
    }
    if (status.code != MessageComplete) break;
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  Utf8ToWireUnits(text);
  std::u16string strict;
  Utf8ToUnitsStrict(text, &strict);
  return 0;
}
