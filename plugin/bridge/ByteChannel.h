// The byte stream a message travels on: reads and writes that run to completion.
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
  virtual ChannelResult ReadFully(void* buffer, uint32_t size, uint32_t* received) = 0;
  virtual ChannelResult WriteFully(const void* data, uint32_t size) = 0;
};
