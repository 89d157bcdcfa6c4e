// Random requests against the plug-in: each one built from the seed and its number alone (so a run
// can go on where the last one stopped), sent, and the reply to each of its messages read and
// checked. A field of length 0 is a count of 0, which ends a message on the wire: a request with such
// a field is several messages, each answered on its own. A request that breaks the framing (a count
// with too few bytes after it) ends with the pipe closed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Transcript.h"

namespace zk {

// Counted per message as the wire defines it: every message sent is either a request (sent whole,
// one reply expected) or a framing break, so requests + framingBreaks = the random requests sent +
// earlyEnds.
struct RandomCounts {
  std::uint64_t sent = 0;           // random requests (numbers) written to the pipe
  std::uint64_t requests = 0;       // messages sent whole, each expecting one reply
  std::uint64_t replies = 0;        // complete replies read
  std::uint64_t wellFormed = 0;     // replies of the shape their message's command answers with
  std::uint64_t bad = 0;            // replies missing, malformed or of the wrong shape
  std::uint64_t framingBreaks = 0;  // messages cut off inside a count or a field, then the pipe closed
  std::uint64_t earlyEnds = 0;      // messages more than random requests: ended early by a field of length 0
  std::uint64_t largestField = 0;   // units of the longest field sent
  std::uint64_t next = 0;           // the number of the request a next run starts with
};

// One whole message of a random request, as the plug-in reads it.
struct RandomMessage {
  std::vector<std::wstring> fields;  // the texts of its fields (a field of an odd count without its last byte)
  size_t end = 0;                    // offset in the request's bytes just after its end marker
};

// One request's bytes and the messages they hold.
struct RandomRequest {
  std::vector<std::uint8_t> bytes;
  std::vector<RandomMessage> messages;  // the whole messages, in order: one reply each
  bool breaksFraming = false;           // after the whole messages, the bytes end inside a count or a field
  std::uint64_t longestField = 0;
};

// Names of the segments a random run holds: one large enough for small images, one too small.
struct RandomSegments {
  std::wstring image;
  std::wstring small;
  std::wstring missing;
};

RandomRequest MakeRandomRequest(std::uint64_t seed, std::uint64_t number, const RandomSegments& segments);

// Empty when the reply is what the message's command answers with, else the reason.
std::string CheckRandomReply(const std::vector<std::wstring>& request, const std::vector<std::wstring>& reply,
                             const std::vector<std::uint8_t>& replyBytes);

// Sends count requests numbered from first, one message at a time, each message's reply read before
// the next message is written; a bad reply is counted and the run goes on. The failures (the first
// few) go to the transcript. Returns false when the pipe failed or a reply was bad.
bool RunRandomRequests(HANDLE pipe, std::uint64_t seed, std::uint32_t count, std::uint64_t first,
                       Transcript& transcript, RandomCounts* counts);

}  // namespace zk
