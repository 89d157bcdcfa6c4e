// Reads one reply of the plug-in: fields until the count of 0, keeping the raw bytes as well.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zk {

struct Reply {
  bool complete = false;              // the end marker arrived
  std::vector<std::wstring> fields;   // the whole fields read so far
  std::vector<std::uint8_t> bytes;    // every byte received, including an incomplete last piece
  DWORD error = 0;                    // system error of the failed read when not complete
  std::string problem;                // set instead of error when the bytes themselves are refused
};

// A field of an odd byte count keeps its last byte in bytes but not in the text.
// A field longer than this is refused rather than allocated: the plug-in's replies are short texts.
constexpr std::uint32_t kLongestReplyField = 64u << 20;

Reply ReadReply(HANDLE pipe);

}  // namespace zk
