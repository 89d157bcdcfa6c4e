// libFuzzer harness for what the module reads from the companion: a message's framing, the text
// conversions both ways, the numbers in request fields, and the field checks of the image requests
// (numbers, depth, sizes) as their handlers run them. Platform-independent code, built
// natively with sanitizers by scripts/fuzz.sh. The input is the byte stream, delivered in pieces
// whose sizes the input's first byte chooses, as a pipe may deliver them: the channel's read-ahead
// then holds the ends and beginnings of counts, fields and messages at every offset. Counts that ask
// for more than any input can hold are cut down first (see WithLongCountsCut).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ImageRequestFields.h"
#include "MessageFraming.h"
#include "RequestNumbers.h"
#include "WireText.h"

namespace {

// No input holds a field this long (libFuzzer makes inputs of at most 4 KiB unless its corpus or
// -max_len asks for more), so a count above it can only end in a read that fails at the input's
// end, as a count just above it does. Yet the reader reserves what a count asks for, up to its own
// limit of megabytes, and under the address sanitizer each reservation costs in proportion to its
// size (its shadow is written on reserving and on freeing, a large one is mapped anew each time):
// counts of megabytes held the harness at about a thousand inputs a second. Above this, a count
// within the reader's limit is lowered to it; one beyond the limit stays, refused before anything
// is reserved. Still longer than the read-ahead and the fixed buffer, so a field read past both
// keeps its cases.
constexpr uint32_t kLongestCountAsked = 8u << 10;

uint32_t CountAt(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// The stream with every count the reader would meet that lies between kLongestCountAsked and the
// reader's limit lowered to kLongestCountAsked. The counts are found as the reader finds them: a
// count, then as many bytes as it says, then the next count (a count of 0 ends a message, and the
// next message's first count follows at once).
std::vector<uint8_t> WithLongCountsCut(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  size_t at = 0;
  while (size - at >= 4) {
    uint32_t count = CountAt(&bytes[at]);
    if (count > kLongestCountAsked && count <= kLongestFieldBytes) {
      count = kLongestCountAsked;
      for (int shift = 0; shift < 32; shift += 8) bytes[at + size_t(shift / 8)] = uint8_t(count >> shift);
    }
    if (count > size - at - 4) break;
    at += 4 + size_t(count);
  }
  return bytes;
}

class PiecewiseChannel : public ByteChannel {
 public:
  PiecewiseChannel(const uint8_t* bytes, size_t size, size_t piece) : data(bytes), left(size), pieceSize(piece) {}
  ChannelResult WriteFully(const void*, uint32_t) override { return ChannelResult::Complete; }

 protected:
  ChannelResult ReadSome(void* buffer, uint32_t size, uint32_t* received) override {
    *received = 0;
    if (left == 0) return ChannelResult::Closed;
    size_t take = size;
    if (take > pieceSize) take = pieceSize;
    if (take > left) take = left;
    std::memcpy(buffer, data, take);
    data += take;
    left -= take;
    *received = uint32_t(take);
    return ChannelResult::Complete;
  }

 private:
  const uint8_t* data;
  size_t left;
  size_t pieceSize;
};

// Every message goes through both image requests' checks, whatever its command: a check that
// passes must leave values the handler can use, one that fails must give a reply it can send.
void CheckImageRequestFields(const FieldList& fields) {
  std::string error;
  ReadRawFields readRaw;
  if (CheckReadRawFields(fields, &readRaw, &error)) {
    if (readRaw.depth != 8 && readRaw.depth != 16) std::abort();
  } else {
    ReplyFieldList reply;
    ReplyError(reply, error);  // throws on an empty field
  }
  error.clear();
  SendImageFields sendImage;
  if (CheckSendImageFields(fields, &sendImage, &error)) {
    if (sendImage.width <= 0 || sendImage.height <= 0) std::abort();
    if (sendImage.imageBytes / uint64_t(sendImage.width) / uint64_t(sendImage.height) !=
        3 * uint64_t(sendImage.depth / 8)) {
      std::abort();
    }
  } else {
    ReplyFieldList reply;
    ReplyError(reply, error);
  }
}

// What was read goes back out: every field must survive the way to the wire. One reply of all of
// a message's fields: a reply of each field on its own made every field cost a reply's allocations
// and halved the inputs a second, for no conversion that the one reply does not also make.
void ReadNumbersAndSendBack(ByteChannel& channel, const FieldList& fields) {
  ReplyFieldList reply;
  for (const std::string& field : fields) {
    int32_t number = 0;
    uint64_t size64 = 0;
    ReadSignedNumber(field, &number);
    ReadSizeNumber(field, &size64);
    if (!field.empty()) reply.Append(field);
  }
  WriteMessage(channel, reply);
}

// What the reader made of the stream, message by message: statuses and fields.
struct Reading {
  std::vector<int32_t> codes;
  std::vector<std::string> texts;
  std::vector<FieldList> messages;
  bool operator!=(const Reading& other) const {
    return codes != other.codes || texts != other.texts || messages != other.messages;
  }
};

// check: every message also goes through the image requests' checks and back out to the wire.
Reading ReadMessages(const uint8_t* bytes, size_t size, size_t piece, bool check) {
  PiecewiseChannel channel(bytes, size, piece);
  Reading reading;
  FieldList fields;
  for (int message = 0; message < 8; ++message) {
    const ReadStatus status = ReadMessage(channel, fields);
    reading.codes.push_back(status.code);
    reading.texts.push_back(status.text);
    reading.messages.push_back(fields);
    if (check && status.code == MessageComplete) CheckImageRequestFields(fields);
    if (check) ReadNumbersAndSendBack(channel, fields);
    if (status.code != MessageComplete) break;
  }
  return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // Pieces of 1 to 7 bytes, or as much as each read asks for (a whole message in one read).
  const size_t piece = data[0] & 0x80 ? SIZE_MAX : size_t(data[0] % 7) + 1;
  const std::vector<uint8_t> stream = WithLongCountsCut(data + 1, size - 1);
  const Reading inPieces = ReadMessages(stream.data(), stream.size(), piece, true);
  // However the stream was cut, the reader must make the same of it as of the stream in one piece.
  if (piece != SIZE_MAX && ReadMessages(stream.data(), stream.size(), SIZE_MAX, false) != inPieces) std::abort();
  const std::string text(reinterpret_cast<const char*>(data), size);
  Utf8ToWireUnits(text);
  std::u16string strict;
  Utf8ToUnitsStrict(text, &strict);
  return 0;
}
