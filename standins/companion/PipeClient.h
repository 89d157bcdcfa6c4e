// The client end of the plug-in's pipe: connecting with retries, and whole reads and writes.
#pragma once

#include "WindowsOwners.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zk {

struct ConnectResult {
  UniqueFile pipe;        // valid when connected
  DWORD lastError = 0;    // the last failure seen while trying
  DWORD attempts = 0;
  DWORD elapsedMs = 0;
};

// Opens the pipe for reading and writing, trying again until it exists and is free or timeoutMs
// has passed: the plug-in creates the pipe only after it has started us. firstFailure, when given,
// is told the error of the first attempt that failed (once, before the next attempt).
ConnectResult ConnectToPipe(const std::wstring& pipeName, DWORD timeoutMs,
                            const std::function<void(DWORD error)>& firstFailure = nullptr);

// Writes all bytes; returns 0 or the system's error code.
DWORD WriteAll(HANDLE pipe, const std::vector<std::uint8_t>& bytes);

// Reads exactly size bytes, looping over short reads (the writer may send a piece at a time).
// Returns 0 or the system's error code; received counts what arrived either way.
DWORD ReadExactly(HANDLE pipe, std::uint8_t* buffer, size_t size, size_t& received);

}  // namespace zk
