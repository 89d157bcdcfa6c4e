// The plug-in log's cost per entry, against the least the design lets an entry cost: the log is
// never held between requests, so a request of N entries must at least open the file, write N
// times and close it again; that, divided by N, is the limit. One bare WriteFile to a file already
// open is reported beside it, and how every entry was written before the log held its file.
#pragma once

#include <string>

struct LogCost {
  // Microseconds per entry, medians of a few rounds.
  double openWritesClose10 = 0;  // (open + 10 WriteFile + close) / 10, opened as the log opens it (the limit)
  double writeFileOnly = 0;      // one WriteFile to a file already open
  double openWriteClose = 0;     // open, write and close per entry (before the log held its file)
  double session10 = 0;          // LogAppend in a request of 10 entries (the log opened at its first)
  double session1000 = 0;        // ... of 1000 entries
};

constexpr int kEntriesPerRequest = 10;

// Writes into folder\ZKVPlugin.log (deleted afterwards); points the log there while it measures.
LogCost MeasureLogCost(const std::wstring& folder);
