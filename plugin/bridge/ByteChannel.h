// The byte stream a message travels on. Reading is buffered: a read of the stream takes whatever has
// arrived, up to the buffer's size, and what it brought beyond the bytes asked for serves the next
// reads. A request of many small counts and fields then costs one read of the system, or a few
// when it arrives in pieces, rather than one per count and per field.
#pragma once

#include <cstdint>

enum class ChannelResult {
  Complete,  // every byte asked for moved
  Closed,    // the other end closed the stream
  Failed,    // the system reported another error
  Ended,     // the bridge run ended while waiting
};

class ByteChannel {
 public:
  virtual ~ByteChannel() = default;
  // Reads exactly size bytes, however many pieces they arrive in; received says how many did.
  // Bytes read ahead stay for the next call, so a message that follows in the same read is kept.
  ChannelResult ReadFully(void* buffer, uint32_t size, uint32_t* received);
  virtual ChannelResult WriteFully(const void* data, uint32_t size) = 0;

 protected:
  // One read of the stream: what has arrived, at least one byte and at most size, waiting only
  // while nothing has. received is 0 unless the result is Complete.
  virtual ChannelResult ReadSome(void* buffer, uint32_t size, uint32_t* received) = 0;

 private:
  static constexpr uint32_t kReadAheadBytes = 4096;  // as much as the pipe itself holds
  uint8_t readAhead[kReadAheadBytes];
  uint32_t aheadBegin = 0;  // the bytes read but not yet taken: [aheadBegin, aheadEnd)
  uint32_t aheadEnd = 0;
};
