// The plug-in's end of the pipe, as far as the companion tests need it: one instance, overlapped so
// that every wait has a time limit and a broken companion fails a test instead of hanging it.
#pragma once

#include "WindowsOwners.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zk::test {

struct ReceivedMessage {
  std::vector<std::wstring> fields;
  std::vector<std::uint8_t> bytes;  // everything read for this message, end marker included
};

class TestPipeServer {
 public:
  explicit TestPipeServer(const std::wstring& suffix);

  bool Create();
  bool WaitForClient(DWORD timeoutMs);
  // Reads up to size bytes in one read call; returns the bytes it gave (empty on failure or timeout).
  std::vector<std::uint8_t> ReadSome(size_t size, DWORD timeoutMs);
  // Loops until size bytes arrived; false on a failure or timeout.
  bool ReadExactly(size_t size, std::vector<std::uint8_t>& bytes, DWORD timeoutMs);
  bool ReadMessage(ReceivedMessage& message, DWORD timeoutMs);
  // Everything until the companion closes its end; closedByPeer says whether that happened in time.
  std::vector<std::uint8_t> ReadUntilClosed(DWORD timeoutMs, bool& closedByPeer);
  bool Write(const std::vector<std::uint8_t>& bytes);
  void Close() { pipe_.Reset(); }

  const std::wstring& Name() const { return name_; }

 private:
  // One overlapped read; 0 on success, else the error (WAIT_TIMEOUT when the time ran out).
  DWORD ReadOnce(std::uint8_t* buffer, DWORD size, DWORD timeoutMs, DWORD& got);

  std::wstring name_;
  UniqueFile pipe_;
  UniqueHandle event_;
  bool connectPending_ = false;
  OVERLAPPED connect_ = {};
};

// Hand-built wire bytes for the tests, independent of the program's encoder.
std::vector<std::uint8_t> Field(const std::wstring& text);
std::vector<std::uint8_t> EndMarker();
std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts);

}  // namespace zk::test
