#include "ByteChannel.h"

#include <cstring>

ChannelResult ByteChannel::ReadFully(void* buffer, uint32_t size, uint32_t* received) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  *received = 0;
  while (*received < size) {
    const uint32_t wanted = size - *received;
    if (aheadBegin == aheadEnd) {
      uint32_t moved = 0;
      if (wanted >= kReadAheadBytes) {
        // A long field's rest goes straight where it belongs, without a detour through the buffer.
        const ChannelResult result = ReadSome(bytes + *received, wanted, &moved);
        if (result != ChannelResult::Complete) return result;
        *received += moved;
        continue;
      }
      const ChannelResult result = ReadSome(readAhead, kReadAheadBytes, &moved);
      if (result != ChannelResult::Complete) return result;
      aheadBegin = 0;
      aheadEnd = moved;
    }
    const uint32_t available = aheadEnd - aheadBegin;
    const uint32_t taken = wanted < available ? wanted : available;
    std::memcpy(bytes + *received, readAhead + aheadBegin, taken);
    aheadBegin += taken;
    *received += taken;
  }
  return ChannelResult::Complete;
}
