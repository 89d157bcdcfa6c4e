#include "PipePair.h"

#include <atomic>

#include "PipeConnection.h"

PipePair::PipePair() {
  static std::atomic<int> serial{0};
  name = L"\\\\.\\pipe\\zk-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
  server = CreateRunPipe(name);
  client.Reset(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

void PipePair::WriteClient(const std::vector<uint8_t>& bytes) {
  DWORD written = 0;
  WriteFile(client.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::vector<uint8_t> PipePair::ReadAllFromClient(size_t expected) {
  std::vector<uint8_t> bytes(expected);
  size_t got = 0;
  while (got < expected) {
    DWORD read = 0;
    if (!ReadFile(client.Get(), bytes.data() + got, DWORD(expected - got), &read, nullptr) || read == 0) break;
    got += read;
  }
  bytes.resize(got);
  return bytes;
}

std::vector<uint8_t> Count(uint32_t value) {
  return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

std::vector<uint8_t> Utf16(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(uint8_t(unit));
    bytes.push_back(uint8_t(unit >> 8));
  }
  return bytes;
}

std::vector<uint8_t> Field(const std::u16string& text) { return Join({Count(uint32_t(text.size() * 2)), Utf16(text)}); }

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> joined;
  for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}
