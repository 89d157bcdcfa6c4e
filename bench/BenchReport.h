// The benchmark's tables and targets, written to the console, bench.csv (the figures, read by the
// plotter) and bench.md. A target measures either the module or a stand-in; what only a stand-in
// does (the raw converter's decode, the export and import plug-ins' copies) is reported as a figure,
// never as a miss of the module's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BenchLogCost.h"
#include "BenchResults.h"

struct LogFileSizes {
  int64_t log = 0;
  int64_t oldLog = 0;
};

// Returns the bench host's exit code: 0, or 8 when a measurement failed.
int Report(const std::vector<Row>& rows, const std::vector<std::string>& failures, const LogCost& logCost,
           const LogFileSizes& logFiles, const std::string& outputFolder);
