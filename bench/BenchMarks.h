// The bench host's figures at each mark the benchmarking companion asks for (before and after each
// request): time inside suite procedures and inside the played events, when the request's first
// host call began and its last ended and the module's time between its calls, private bytes and
// handles, their peaks while the request ran, and what is left once the documents it made are
// closed again.
// Asked for, it also takes the limit of an image request's segments here, on the host's main thread,
// where the module takes them.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include <windows.h>

#include "DocumentModel.h"
#include "StandInHost.h"
#include "WindowsOwners.h"

class MarkServer {
 public:
  // Made on the host's main thread: the document model is only ever touched there, through a
  // window of that thread (the thread pumps messages inside the module's modal window).
  MarkServer(zk::StandInHost& host, zk::DocumentModel& documents);
  ~MarkServer();
  MarkServer(const MarkServer&) = delete;
  MarkServer& operator=(const MarkServer&) = delete;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Serve();

  zk::StandInHost& host_;
  zk::DocumentModel& documents_;
  HWND window_ = nullptr;
  uint32_t lastIdBefore_ = 0;  // the newest document at the mark before; later ones were made
  int64_t madeBytes_ = 0;
  UniqueHandle mapping_;
  UniqueMappedView view_;
  UniqueHandle mark_, marked_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
