#include "SuiteHolder.h"

#include "HostSession.h"

namespace {
bool processEnding = false;
}

void MarkProcessEnding() { processEnding = true; }

SuiteHolder::SuiteHolder(const char* suiteName, int32_t suiteVersion) : version(suiteVersion), name(suiteName) {}

SuiteHolder::~SuiteHolder() {
  if (suite != nullptr && name != nullptr && sSPBasic != nullptr && !processEnding) {
    sSPBasic->ReleaseSuite(name, version);
  }
  suite = nullptr;
}

const void* SuiteHolder::Access() {
  if (suite != nullptr) return suite;
  if (sSPBasic == nullptr) throw static_cast<uint32_t>(kSPBadParameterError);
  const void* acquired = nullptr;
  status = sSPBasic->AcquireSuite(name, version, &acquired);
  if (status != kSPNoError) throw static_cast<uint32_t>(status);
  // A host that reports success without a table would make the next call jump through null.
  if (acquired == nullptr) {
    status = kSPSuiteNotFoundError;
    throw static_cast<uint32_t>(status);
  }
  suite = acquired;
  return suite;
}
