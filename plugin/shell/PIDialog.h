// A small framework for the module's modal dialogs: one exported dialog procedure routes the
// messages of the open dialog to the virtual operations of its object.
#pragma once

#include <windows.h>

#include "HostTypes.h"

class PIDialog {
 public:
  PIDialog() = default;
  virtual ~PIDialog() = default;
  PIDialog(const PIDialog&) = delete;
  PIDialog& operator=(const PIDialog&) = delete;

  virtual void OnInit() {}
  virtual void OnCommand(int32_t item) { (void)item; }
  virtual void OnMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
    (void)message;
    (void)wParam;
    (void)lParam;
  }
  // Shows the template modally over the active window; the result is what the dialog passed to
  // EndDialog, or -1 when no dialog could be shown.
  virtual int32_t RunModal(SPPluginRef plugin, int32_t templateIdentifier);

  HWND DialogWindow() const { return dialogWindow; }
  void SetDialogWindow(HWND window) { dialogWindow = window; }
  int32_t TemplateId() const { return templateId; }

 private:
  int32_t templateId = 0;
  HWND dialogWindow = nullptr;
  SPPluginRef pluginRef = nullptr;
};

extern "C" __declspec(dllexport) INT_PTR CALLBACK GenericProc(HWND window, UINT message, WPARAM wParam,
                                                              LPARAM lParam);

// The dialog of this family that is open now, or null.
PIDialog* CurrentDialog();
