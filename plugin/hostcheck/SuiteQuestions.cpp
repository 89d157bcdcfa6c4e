#include "SuiteQuestions.h"

#include <cstring>

#include "AliasSuite.h"
#include "HostSuites.h"
#include "ReportText.h"

std::string SuiteProbeText(const char* name, int32_t version) {
  SuiteHolder probe(name, version);
  if (probe.Find() == nullptr) return StatusText(probe.LastStatus());
  return "granted, released " + StatusText(probe.Release());
}

void AskSuiteVersions(CheckReport& report) {
  ReportSection& suites = report.Section("S1");
  suites.Answer("asked", "AcquireSuite of each suite at versions 1 to the module's, ReleaseSuite of each one granted");
  for (const SuiteHolder* holder : ModuleSuiteHolders()) {
    if (std::strcmp(holder->Name(), kPSAliasSuite) == 0) continue;  // P3 asks for it
    for (int32_t version = 1; version <= holder->Version(); ++version) {
      suites.Answer("\"" + std::string(holder->Name()) + "\" version " + std::to_string(version),
                    SuiteProbeText(holder->Name(), version));
    }
  }
  ReportSection& aliases = report.Section("P3");
  for (const int32_t version : {kPSAliasSuiteVersion1, kPSAliasSuiteVersion2}) {
    aliases.Answer("\"" + std::string(kPSAliasSuite) + "\" version " + std::to_string(version),
                   SuiteProbeText(kPSAliasSuite, version));
  }
}
