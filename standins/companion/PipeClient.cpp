#include "PipeClient.h"

#include <algorithm>

namespace zk {

ConnectResult ConnectToPipe(const std::wstring& pipeName, DWORD timeoutMs,
                            const std::function<void(DWORD error)>& firstFailure) {
  ConnectResult result;
  const ULONGLONG start = GetTickCount64();
  while (true) {
    ++result.attempts;
    // Identification level only: the server end must not act with our rights.
    result.pipe.Reset(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    const DWORD error = result.pipe ? 0 : GetLastError();
    const ULONGLONG elapsed = GetTickCount64() - start;
    result.elapsedMs = static_cast<DWORD>(elapsed);
    if (result.pipe) return result;
    result.lastError = error;
    if (result.attempts == 1 && firstFailure) firstFailure(error);
    if (elapsed >= timeoutMs) return result;
    const DWORD left = static_cast<DWORD>(timeoutMs - elapsed);
    if (error == ERROR_PIPE_BUSY) {
      // The instance exists but serves someone else for now; wait for it rather than spin.
      WaitNamedPipeW(pipeName.c_str(), std::min<DWORD>(left, 1000));
    } else {
      Sleep(std::min<DWORD>(left, 50));
    }
  }
}

DWORD WriteAll(HANDLE pipe, const std::vector<std::uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(pipe, bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return 0;
}

DWORD ReadExactly(HANDLE pipe, std::uint8_t* buffer, size_t size, size_t& received) {
  received = 0;
  while (received < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - received, 1u << 20));
    DWORD got = 0;
    if (!ReadFile(pipe, buffer + received, chunk, &got, nullptr)) return GetLastError();
    received += got;  // a zero-byte write by the other end gives a successful empty read: go on
  }
  return 0;
}

}  // namespace zk
