// Random requests against the plug-in: each one built from the seed and its number alone (so a run
// can go on where the last one stopped), sent, and its one reply read and checked. A request that
// breaks the framing (a count with too few bytes after it) ends with the pipe closed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Transcript.h"

namespace zk {

struct RandomCounts {
  std::uint64_t requests = 0;       // sent whole, each expecting one reply
  std::uint64_t replies = 0;        // complete replies read
  std::uint64_t wellFormed = 0;     // replies of the shape their command answers with
  std::uint64_t bad = 0;            // replies missing, malformed or of the wrong shape
  std::uint64_t framingBreaks = 0;  // requests cut off inside a count or a field, then the pipe closed
  std::uint64_t largestField = 0;   // units of the longest field sent
  std::uint64_t next = 0;           // the number of the request a next run starts with
};

// One request's bytes and what its reply must look like.
struct RandomRequest {
  std::vector<std::uint8_t> bytes;
  std::vector<std::wstring> fields;  // as the plug-in reads them (the fields before an early end marker)
  bool breaksFraming = false;        // the bytes end inside a count or a field
  std::uint64_t longestField = 0;
};

// Names of the segments a random run holds: one large enough for small images, one too small.
struct RandomSegments {
  std::wstring image;
  std::wstring small;
  std::wstring missing;
};

RandomRequest MakeRandomRequest(std::uint64_t seed, std::uint64_t number, const RandomSegments& segments);

// Empty when the reply is what the request's command answers with, else the reason.
std::string CheckRandomReply(const std::vector<std::wstring>& request, const std::vector<std::wstring>& reply,
                             const std::vector<std::uint8_t>& replyBytes);

// Sends count requests numbered from first; the failures (the first few) and the counts go to the
// transcript. Returns false when the pipe failed or a reply was bad.
bool RunRandomRequests(HANDLE pipe, std::uint64_t seed, std::uint32_t count, std::uint64_t first,
                       Transcript& transcript, RandomCounts* counts);

}  // namespace zk
