// The companion's top-level window: it says what the run is doing. The plug-in looks for a visible
// top-level window of our process before it asks the user whether to end us, so when it is shown is
// part of the scenario (visible at once, hidden, or shown later).
#pragma once

#include "Scenario.h"
#include "Transcript.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

namespace zk {

class StatusWindow {
 public:
  explicit StatusWindow(Transcript& transcript) : transcript_(transcript) {}
  ~StatusWindow();
  StatusWindow(const StatusWindow&) = delete;
  StatusWindow& operator=(const StatusWindow&) = delete;

  // On the thread that will pump the window's messages. In WindowMode::Visible the window is shown
  // (and so visible to other processes) before this returns. Returns false when it could not be created.
  bool Create(HINSTANCE instance, WindowMode mode, DWORD delayMs);

  // From any thread: the text appears when the window's thread next pumps its messages.
  void SetStatus(const std::wstring& text);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Show();

  Transcript& transcript_;
  std::atomic<HWND> window_{nullptr};  // read by SetStatus on other threads
  HWND text_ = nullptr;
  std::mutex mutex_;
  std::wstring status_;  // guarded by mutex_
};

}  // namespace zk
