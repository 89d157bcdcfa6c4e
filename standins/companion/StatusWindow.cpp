#include "StatusWindow.h"

namespace zk {

namespace {

const wchar_t kClassName[] = L"ZentrastKolvaneStandIn";
const wchar_t kTitle[] = L"Zentrast Kolvane (stand-in)";
constexpr UINT kStatusChanged = WM_APP + 1;
constexpr UINT_PTR kShowTimer = 1;

}  // namespace

StatusWindow::~StatusWindow() {
  const HWND window = window_;
  if (window != nullptr) DestroyWindow(window);
}

bool StatusWindow::Create(HINSTANCE instance, WindowMode mode, DWORD delayMs) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &StatusWindow::Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  const HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                                      160, nullptr, nullptr, instance, this);
  if (window == nullptr) return false;
  window_ = window;
  RECT client = {};
  GetClientRect(window, &client);
  text_ = CreateWindowExW(0, L"STATIC", L"Starting", WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12, client.right - 24,
                          client.bottom - 24, window, nullptr, instance, nullptr);

  switch (mode) {
    case WindowMode::Visible:
      Show();
      break;
    case WindowMode::Hidden:
      transcript_.Line("window", "hidden");
      break;
    case WindowMode::Later:
      transcript_.Line("window", "later " + std::to_string(delayMs));
      SetTimer(window, kShowTimer, delayMs, nullptr);
      break;
  }
  return true;
}

void StatusWindow::SetStatus(const std::wstring& text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    status_ = text;
  }
  const HWND window = window_;
  if (window != nullptr) PostMessageW(window, kStatusChanged, 0, 0);
}

void StatusWindow::Show() {
  const HWND window = window_;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  transcript_.Line("window", "visible");
}

LRESULT CALLBACK StatusWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<StatusWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(window, message, wParam, lParam);
}

LRESULT StatusWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kStatusChanged: {
      std::wstring text;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        text = status_;
      }
      if (text_ != nullptr) SetWindowTextW(text_, text.c_str());
      return 0;
    }
    case WM_TIMER:
      if (wParam == kShowTimer) {
        KillTimer(window, kShowTimer);
        Show();
      }
      return 0;
    case WM_CLOSE:
      transcript_.Line("window-closed", "by the user");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace zk
