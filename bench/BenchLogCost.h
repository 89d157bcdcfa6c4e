// The plug-in log's cost per entry, against the least an entry can cost: one WriteFile of the
// entry's bytes to a log file that is already open, opened as the log opens it.
#pragma once

#include <string>

struct LogCost {
  // Microseconds per entry, medians of a few rounds.
  double writeFileOnly = 0;    // one WriteFile per entry to a file already open (the limit)
  double openWriteClose = 0;   // how every entry was written before the log held its file open
  double session10 = 0;        // LogAppend in an operation of 10 entries (the file opened once)
  double session1000 = 0;      // ... of 1000 entries
};

// Writes into folder\ZKVPlugin.log (deleted afterwards); points the log there while it measures.
LogCost MeasureLogCost(const std::wstring& folder);
