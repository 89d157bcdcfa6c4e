// The bench host's own pipe, the baselines the benchmarking companion measures the bridge against:
// a bare echo of a request's bytes, the same echo with each request handed to a second thread's
// message loop and back (the least any design with a listener thread and a main thread can cost),
// and a push of an image's bytes through the pipe.
#pragma once

#include <atomic>
#include <thread>

#include <windows.h>

#include "WindowsOwners.h"

class EchoServer {
 public:
  EchoServer();
  ~EchoServer();
  EchoServer(const EchoServer&) = delete;
  EchoServer& operator=(const EchoServer&) = delete;

 private:
  void Serve();
  void RunLoop();  // the second thread: a window whose procedure serves each handed-over request

  std::atomic<bool> stop_{false};
  UniqueHandle served_;  // set by the loop thread when it has served a request
  HWND loopWindow_ = nullptr;
  UniqueHandle loopReady_;
  std::thread loop_;
  std::thread thread_;
};
