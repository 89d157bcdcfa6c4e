// The record of one run, for tests and for the user: one "key: value" line per event, appended to a
// file and echoed to standard output. Each line goes out in one write as soon as it is known, so the
// file is complete up to the last event even when the process is ended from outside.
#pragma once

#include "WindowsOwners.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace zk {

class Transcript {
 public:
  // Opens (appending, creating when missing) the file; on failure the lines still go to standard output.
  // Returns false with the system's error code in GetLastError() when the file could not be opened.
  bool Open(const std::wstring& path);

  // Writes "key: value\n" (value as UTF-8). Safe from any thread.
  void Line(const std::string& key, const std::string& value);

 private:
  std::mutex mutex_;
  UniqueFile file_;
};

// "04 00 4F 00": upper-case hexadecimal pairs separated by one blank; empty for no bytes.
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

// "error 2 \"File not found.\"": the code and the system's text for it (without the line break).
std::string DescribeError(unsigned long code);

// The texts of a field list, each quoted and escaped, separated by one blank.
std::string QuotedFields(const std::vector<std::wstring>& fields);

}  // namespace zk
