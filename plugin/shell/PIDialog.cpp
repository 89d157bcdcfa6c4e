#include "PIDialog.h"

#include "DialogPlacement.h"
#include "ModalDialog.h"
#include "ModuleInstance.h"

namespace {
PIDialog* currentDialog = nullptr;
}

PIDialog* CurrentDialog() { return currentDialog; }

int32_t PIDialog::RunModal(SPPluginRef plugin, int32_t templateIdentifier) {
  templateId = templateIdentifier;
  pluginRef = plugin;
  HWND owner = GetActiveWindow();
  return static_cast<int32_t>(ShowModalDialog(PluginModuleHandle(plugin), MAKEINTRESOURCEA(templateIdentifier),
                                              owner, GenericProc, reinterpret_cast<LPARAM>(this)));
}

namespace {

INT_PTR RouteDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      currentDialog = nullptr;
      return 0;
    case WM_INITDIALOG:
      PlaceDialogOverParent(window);
      currentDialog = reinterpret_cast<PIDialog*>(lParam);
      if (currentDialog == nullptr) return 0;
      currentDialog->SetDialogWindow(window);
      currentDialog->OnInit();
      return 1;
    case WM_COMMAND: {
      const int32_t item = LOWORD(wParam);
      const int32_t code = HIWORD(wParam);
      if (currentDialog != nullptr) currentDialog->OnCommand(item);
      if ((item == IDOK || item == IDCANCEL) && code == 0) EndDialog(window, item);
      return 1;
    }
    default:
      if (currentDialog != nullptr) currentDialog->OnMessage(message, wParam, lParam);
      return 0;
  }
}

}  // namespace

INT_PTR CALLBACK GenericProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The system's dialog code calls this: nothing may unwind through its frames. A dialog whose own
  // code failed is ended rather than left half working.
  try {
    return RouteDialogMessage(window, message, wParam, lParam);
  } catch (...) {
    EndDialog(window, IDCANCEL);
    return 0;
  }
}
