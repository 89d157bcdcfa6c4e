// The scripting terminology ("AETE" resource) in its Windows layout: packed, no alignment after
// strings. Plain functions over bytes; they never read outside [bytes, bytes+size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zk {

struct AeteParameter {
  std::string name;
  uint32_t key = 0;
  uint32_t type = 0;
  std::string description;
  uint16_t flags = 0;
};

struct AeteEvent {
  std::string name;
  std::string description;
  uint32_t classId = 0;
  uint32_t eventId = 0;
  uint32_t replyType = 0;
  std::string replyDescription;
  uint16_t replyFlags = 0;
  uint32_t directType = 0;
  std::string directDescription;
  uint16_t directFlags = 0;
  std::vector<AeteParameter> parameters;
};

struct AeteSuite {
  std::string name;
  std::string description;
  uint32_t suiteId = 0;
  int16_t level = 0;
  int16_t version = 0;
  std::vector<AeteEvent> events;
};

struct AeteInfo {
  uint8_t major = 0;
  uint8_t minor = 0;
  int16_t language = 0;
  int16_t script = 0;
  std::vector<AeteSuite> suites;
  size_t parsedSize = 0;  // bytes read; a few trailing bytes (a zero dword some writers add) are allowed
};

// False with a message on a bad header, truncation anywhere, or a suite that declares classes,
// comparison operators or enumerations (automation plug-ins have none; this host does not read them).
bool ParseAete(const uint8_t* bytes, size_t size, AeteInfo* info, std::string* error);

// The event with this class and ID, or null.
const AeteEvent* FindAeteEvent(const AeteInfo& info, uint32_t classId, uint32_t eventId);

}  // namespace zk
