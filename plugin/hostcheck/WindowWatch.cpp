#include "WindowWatch.h"

#include "ReportText.h"
#include "StandardUtf8.h"

namespace {

// The windows of the watch in place on the main thread, if any.
std::vector<std::pair<HWND, WatchedWindow>>* watched = nullptr;

std::string Utf8(const wchar_t* text) {
  if (text == nullptr || IS_INTRESOURCE(text)) return std::string();
  const std::wstring wide(text);
  return UnitsToStandardUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string ClassName(LPCWSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(LOWORD(reinterpret_cast<ULONG_PTR>(name)));
  return Utf8(name);
}

// Runs inside the system's window creation and activation on the host's main thread: it only
// writes down, and it lets nothing escape.
LRESULT CALLBACK RecordWindow(int code, WPARAM parameter, LPARAM details) noexcept {
  if (watched != nullptr) {
    try {
      const HWND window = reinterpret_cast<HWND>(parameter);
      if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(details)->lpcs;
        // Child controls and message-only windows are no window a person sees by itself.
        if ((create->style & WS_CHILD) == 0 && create->hwndParent != HWND_MESSAGE) {
          watched->emplace_back(window, WatchedWindow{Utf8(create->lpszName), ClassName(create->lpszClass), false});
        }
      } else if (code == HCBT_ACTIVATE) {
        for (auto& created : *watched) {
          if (created.first != window) continue;
          created.second.activated = true;
          // A message box gets its caption after it is created: read it now, on its own thread.
          wchar_t caption[256] = {};
          if (created.second.caption.empty() && GetWindowTextW(window, caption, 256) > 0) created.second.caption = Utf8(caption);
        }
      }
    } catch (...) {
      // Out of memory: the window is not written down, and the host goes on.
    }
  }
  return CallNextHookEx(nullptr, code, parameter, details);
}

}  // namespace

WindowWatch::WindowWatch() {
  hook_ = SetWindowsHookExW(WH_CBT, RecordWindow, nullptr, GetCurrentThreadId());
  if (hook_ != nullptr) watched = &created_;
}

WindowWatch::~WindowWatch() {
  watched = nullptr;
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}

std::vector<WatchedWindow> WindowWatch::Shown() const {
  std::vector<WatchedWindow> shown;
  for (const auto& created : created_) {
    if (created.second.activated) shown.push_back(created.second);
  }
  return shown;
}
