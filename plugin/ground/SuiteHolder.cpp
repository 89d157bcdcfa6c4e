#include "SuiteHolder.h"

#include "HostSession.h"

namespace {
bool processEnding = false;
}

void MarkProcessEnding() { processEnding = true; }

SuiteHolder::SuiteHolder(const char* suiteName, int32_t suiteVersion) : version(suiteVersion), name(suiteName) {}

SuiteHolder::~SuiteHolder() { Release(); }

int32_t SuiteHolder::Release() {
  int32_t released = kSPNoError;
  if (suite != nullptr && name != nullptr && sSPBasic != nullptr && !processEnding) {
    released = sSPBasic->ReleaseSuite(name, version);
  }
  suite = nullptr;
  refused = false;
  return released;
}

int32_t SuiteHolder::Acquire() {
  if (sSPBasic == nullptr) return kSPBadParameterError;
  const void* acquired = nullptr;
  const int32_t acquireStatus = sSPBasic->AcquireSuite(name, version, &acquired);
  if (acquireStatus != kSPNoError) return acquireStatus;
  // A host that reports success without a table would make the next call jump through null.
  if (acquired == nullptr) return kSPSuiteNotFoundError;
  suite = acquired;
  return kSPNoError;
}

const void* SuiteHolder::Access() {
  if (suite != nullptr) return suite;
  status = Acquire();
  if (status != kSPNoError) throw static_cast<uint32_t>(status);
  return suite;
}

const void* SuiteHolder::Find() {
  if (suite == nullptr && !refused) {
    status = Acquire();
    refused = suite == nullptr;
  }
  return suite;
}
