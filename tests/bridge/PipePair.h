// A connected pair of ends of a real named pipe in this process: the server end as the module
// uses it (overlapped) and a plain client end the test writes to and reads from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "WindowsOwners.h"

class PipePair {
 public:
  PipePair();
  HANDLE Server() const { return server.Get(); }
  HANDLE Client() const { return client.Get(); }
  HANDLE RunEnded() const { return runEnded.Get(); }
  void CloseClient() { client.Reset(); }
  void CloseServer() { server.Reset(); }  // a client's write that waits for room then fails
  std::wstring Name() const { return name; }

  void WriteClient(const std::vector<uint8_t>& bytes);
  // Everything the server end wrote, read by the client until the end marker or timeout.
  std::vector<uint8_t> ReadAllFromClient(size_t expected);

 private:
  std::wstring name;
  UniqueFile server;
  UniqueFile client;
  UniqueHandle runEnded{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

std::vector<uint8_t> Count(uint32_t value);
std::vector<uint8_t> Utf16(const std::u16string& text);
std::vector<uint8_t> Field(const std::u16string& text);
std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts);
