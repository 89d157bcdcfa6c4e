#include "TestPipeServer.h"

namespace zk::test {

TestPipeServer::TestPipeServer(const std::wstring& suffix) : name_(L"\\\\.\\pipe\\" + suffix) {}

bool TestPipeServer::Create() {
  // Byte stream and 4096-byte buffers as the plug-in's pipe; one instance, so a stale one shows.
  pipe_.Reset(CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                               PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
  event_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!pipe_ || !event_) return false;
  connect_ = {};
  connect_.hEvent = event_.Get();
  if (ConnectNamedPipe(pipe_.Get(), &connect_)) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_PIPE_CONNECTED) {
    SetEvent(event_.Get());
    return true;
  }
  connectPending_ = error == ERROR_IO_PENDING;
  return connectPending_;
}

bool TestPipeServer::WaitForClient(DWORD timeoutMs) {
  if (WaitForSingleObject(event_.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
  if (connectPending_) {
    DWORD ignored = 0;
    connectPending_ = false;
    if (!GetOverlappedResult(pipe_.Get(), &connect_, &ignored, FALSE)) return false;
  }
  return true;
}

DWORD TestPipeServer::ReadOnce(std::uint8_t* buffer, DWORD size, DWORD timeoutMs, DWORD& got) {
  got = 0;
  OVERLAPPED read = {};
  UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  read.hEvent = done.Get();
  if (!ReadFile(pipe_.Get(), buffer, size, nullptr, &read)) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return error;
    if (WaitForSingleObject(done.Get(), timeoutMs) != WAIT_OBJECT_0) {
      CancelIo(pipe_.Get());
      GetOverlappedResult(pipe_.Get(), &read, &got, TRUE);  // the buffer must outlive the read
      return WAIT_TIMEOUT;
    }
  }
  if (!GetOverlappedResult(pipe_.Get(), &read, &got, TRUE)) return GetLastError();
  return 0;
}

std::vector<std::uint8_t> TestPipeServer::ReadSome(size_t size, DWORD timeoutMs) {
  std::vector<std::uint8_t> bytes(size);
  DWORD got = 0;
  if (ReadOnce(bytes.data(), static_cast<DWORD>(size), timeoutMs, got) != 0) got = 0;
  bytes.resize(got);
  return bytes;
}

bool TestPipeServer::ReadExactly(size_t size, std::vector<std::uint8_t>& bytes, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  bytes.clear();
  std::vector<std::uint8_t> buffer(size);
  while (bytes.size() < size) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    DWORD got = 0;
    if (ReadOnce(buffer.data(), static_cast<DWORD>(size - bytes.size()), static_cast<DWORD>(deadline - now), got) != 0) {
      return false;
    }
    bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + got);
  }
  return true;
}

bool TestPipeServer::ReadMessage(ReceivedMessage& message, DWORD timeoutMs) {
  message = {};
  while (true) {
    std::vector<std::uint8_t> count;
    if (!ReadExactly(4, count, timeoutMs)) return false;
    message.bytes.insert(message.bytes.end(), count.begin(), count.end());
    const std::uint32_t length = count[0] | count[1] << 8 | count[2] << 16 | static_cast<std::uint32_t>(count[3]) << 24;
    if (length == 0) return true;
    std::vector<std::uint8_t> text;
    if (!ReadExactly(length, text, timeoutMs)) return false;
    message.bytes.insert(message.bytes.end(), text.begin(), text.end());
    std::wstring field;
    for (size_t i = 0; i + 1 < text.size(); i += 2) field += static_cast<wchar_t>(text[i] | text[i + 1] << 8);
    message.fields.push_back(field);
  }
}

std::vector<std::uint8_t> TestPipeServer::ReadUntilClosed(DWORD timeoutMs, bool& closedByPeer) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  std::vector<std::uint8_t> all;
  std::uint8_t buffer[4096];
  closedByPeer = false;
  while (true) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return all;
    DWORD got = 0;
    const DWORD error = ReadOnce(buffer, sizeof buffer, static_cast<DWORD>(deadline - now), got);
    all.insert(all.end(), buffer, buffer + got);
    if (error == ERROR_BROKEN_PIPE) {
      closedByPeer = true;
      return all;
    }
    if (error != 0) return all;
  }
}

bool TestPipeServer::Write(const std::vector<std::uint8_t>& bytes) {
  OVERLAPPED write = {};
  UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  write.hEvent = done.Get();
  DWORD written = 0;
  if (!WriteFile(pipe_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &write)) {
    if (GetLastError() != ERROR_IO_PENDING) return false;
    if (WaitForSingleObject(done.Get(), 10000) != WAIT_OBJECT_0) {
      CancelIo(pipe_.Get());
      GetOverlappedResult(pipe_.Get(), &write, &written, TRUE);
      return false;
    }
  }
  return GetOverlappedResult(pipe_.Get(), &write, &written, TRUE) && written == bytes.size();
}

std::vector<std::uint8_t> Field(const std::wstring& text) {
  const size_t length = text.size() * 2;
  std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                                     static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
  for (wchar_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
  }
  return bytes;
}

std::vector<std::uint8_t> EndMarker() { return {0, 0, 0, 0}; }

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace zk::test
