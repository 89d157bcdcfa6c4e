// The host's main window: a visible top-level window of the host's main thread, so that a plug-in
// calling GetActiveWindow during a host call finds it.
#pragma once

#include <windows.h>

namespace zk {

class MainWindow {
 public:
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_; }
  void SetRect(const RECT& rect);
  void Activate();  // makes it the active window of the calling thread

 private:
  HWND window_ = nullptr;
};

}  // namespace zk
