#include "BenchEcho.h"

#include <algorithm>
#include <string>
#include <vector>

#include "BenchShared.h"
#include "WindowsOwners.h"

using namespace zkbench;

namespace {

// The same message number the module's listener posts, to a window of the loop thread.
constexpr UINT kRequestNotice = WM_APP + 0x65;
constexpr wchar_t kLoopClass[] = L"ZkBenchEchoLoop";

LRESULT CALLBACK LoopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRequestNotice) {
    SetEvent(reinterpret_cast<HANDLE>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

EchoServer::EchoServer() {
  served_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  loopReady_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  loop_ = std::thread([this] { RunLoop(); });
  WaitForSingleObject(loopReady_.Get(), INFINITE);
  thread_ = std::thread([this] { Serve(); });
}

EchoServer::~EchoServer() {
  stop_ = true;
  {
    // A connection that closes at once wakes the server from its wait for a client.
    const UniqueFile wake(CreateFileW(kEchoPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  thread_.join();
  PostMessageW(loopWindow_, WM_CLOSE, 0, 0);
  loop_.join();
}

void EchoServer::RunLoop() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = LoopWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kLoopClass;
  RegisterClassW(&windowClass);
  loopWindow_ = CreateWindowW(kLoopClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  SetEvent(loopReady_.Get());
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_CLOSE && message.hwnd == loopWindow_) break;
    DispatchMessageW(&message);
  }
  DestroyWindow(loopWindow_);
}

void EchoServer::Serve() {
  std::vector<char> sink(1 << 20);
  while (!stop_) {
    UniqueFile pipe(CreateNamedPipeW(kEchoPipe, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1,
                                     1 << 20, 1 << 20, 0, nullptr));
    if (!pipe) return;
    if (!ConnectNamedPipe(pipe.Get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) continue;
    PipeReader reader(pipe.Get());
    std::string reply, raw;
    for (;;) {
      uint32_t tag = 0;
      if (!reader.Read(&tag, 4)) break;
      if (tag == kEchoSetReply) {
        uint32_t length = 0;
        if (!reader.Read(&length, 4)) break;
        reply.assign(length, '\0');
        if (!reader.Read(&reply[0], length)) break;
      } else if (tag == kEchoRequest || tag == kEchoRequestViaLoop) {
        if (!ReadFramed(reader, &raw)) break;
        if (tag == kEchoRequestViaLoop) {
          PostMessageW(loopWindow_, kRequestNotice, 1, reinterpret_cast<LPARAM>(served_.Get()));
          WaitForSingleObject(served_.Get(), INFINITE);
        }
        if (!WriteAll(pipe.Get(), reply.data(), reply.size())) break;
      } else if (tag == kEchoPush) {
        uint64_t size = 0;
        if (!reader.Read(&size, 8)) break;
        bool ok = true;
        while (size > 0 && ok) {
          const size_t take = size_t(std::min<uint64_t>(size, sink.size()));
          ok = reader.Read(sink.data(), take);
          size -= take;
        }
        const uint32_t answer = 0;
        if (!ok || !WriteAll(pipe.Get(), &answer, 4)) break;
      } else {
        break;
      }
    }
    DisconnectNamedPipe(pipe.Get());
  }
}
