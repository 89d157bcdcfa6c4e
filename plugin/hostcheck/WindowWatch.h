// Which windows the host shows on its main thread while the check plays an event: a thread hook
// sees every top-level window created there, however briefly it stands, and whether it was shown
// to the person (activated). Main thread only; one watch at a time.
//
//   WindowWatch watch;                     // from here on
//   sPSActionControl->Play(...);
//   watch.Shown();                         // what the play showed
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct WatchedWindow {
  std::string caption;    // UTF-8, as it was created
  std::string className;  // "#32770" for a dialog
  bool activated = false;
};

class WindowWatch {
 public:
  WindowWatch();
  ~WindowWatch();
  WindowWatch(const WindowWatch&) = delete;
  WindowWatch& operator=(const WindowWatch&) = delete;

  // False when the system would not set the hook: then nothing is seen, and the report says so.
  bool Watching() const { return hook_ != nullptr; }
  // The top-level windows created during the watch that were activated: the ones a person saw.
  std::vector<WatchedWindow> Shown() const;

 private:
  std::vector<std::pair<HWND, WatchedWindow>> created_;
  HHOOK hook_ = nullptr;
};
