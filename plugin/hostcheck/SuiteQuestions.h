// The host's suites: each one the module uses, at every version from 1 to the one the module asks
// for, acquired and released again (S1); the alias suite's two versions (P3's first lines).
#pragma once

#include "CheckReport.h"

void AskSuiteVersions(CheckReport& report);

// "granted, released 0", or the refusal's status.
std::string SuiteProbeText(const char* name, int32_t version);
