// The plug-in property list ("PIPL" resource) as the host reads it. Plain functions over bytes, so
// that hand-built fixtures and fuzzers can drive them; they never read outside [bytes, bytes+size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "HostCodes.h"

namespace zk {

// Like the real host, the stand-in reads the entry point of the architecture it runs as and no
// other: a module whose property list names only another architecture's is not callable here.
#if defined(_M_ARM64) || defined(__aarch64__)
constexpr uint32_t kHostEntryPointProperty = PIWin64ARMCodeProperty;
constexpr const char* kHostArchitecture = "ARM64";
#else
constexpr uint32_t kHostEntryPointProperty = PIWin64X86CodeProperty;
constexpr const char* kHostArchitecture = "x64";
#endif

struct PiplProperty {
  uint32_t vendor = 0;
  uint32_t key = 0;
  uint32_t id = 0;
  uint32_t length = 0;          // as recorded: padded or not
  std::vector<uint8_t> data;    // the recorded length's bytes
};

struct PiplTerminology {
  int32_t version = 0;
  uint32_t classId = 0;
  uint32_t eventId = 0;
  int16_t terminologyId = 0;
  std::string scope;
};

struct PiplInfo {
  std::vector<PiplProperty> properties;  // every property, in resource order
  bool hasKind = false;
  uint32_t kind = 0;
  bool hasName = false;
  std::string name;
  bool hasCategory = false;
  std::string category;
  bool hasVersion = false;
  uint32_t version = 0;
  bool hasEntryName = false;
  std::string entryName;                 // from kHostEntryPointProperty ('8664' or 'wa64')
  bool hasTerminology = false;
  PiplTerminology terminology;           // from 'hstm'
};

// Reads the header (word 1, version 0, count) and every property. A property's recorded length may
// be padded to 4 or not; the next property starts at the length rounded up to 4. Properties of
// other vendors than '8BIM' are kept in the list but not interpreted. False with a message on any
// fault: truncation, bad header, a length past the end, a malformed or repeated known property.
bool ParsePipl(const uint8_t* bytes, size_t size, PiplInfo* info, std::string* error);

// True for a property list of an automation plug-in with everything the host needs to call it
// (kind '8LIZ', a menu name, an entry-point name for this host's architecture). Otherwise false
// with the reason.
bool IsCallableAutomationPlugin(const PiplInfo& info, std::string* reason);

}  // namespace zk
