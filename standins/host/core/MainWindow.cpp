#include "MainWindow.h"

namespace zk {
namespace {

constexpr wchar_t kMainWindowClass[] = L"ZkStandInHostMainWindow";

void RegisterMainWindowClass() {
  WNDCLASSW cls = {};
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = kMainWindowClass;
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&cls);  // fails harmlessly when a second host registers it again
}

}  // namespace

MainWindow::MainWindow() {
  RegisterMainWindowClass();
  window_ = CreateWindowExW(0, kMainWindowClass, L"Stand-in host", WS_OVERLAPPEDWINDOW, 100, 80, 800, 600, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_) {
    ShowWindow(window_, SW_SHOWNORMAL);
    Activate();
  }
}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
}

void MainWindow::SetRect(const RECT& rect) {
  if (!window_) return;
  SetWindowPos(window_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Activate() {
  if (!window_) return;
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
}

}  // namespace zk
