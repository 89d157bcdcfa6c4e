#include "ModalDialog.h"

#include "ModuleActivationContext.h"

INT_PTR ShowModalDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter) {
  ModuleActivationScope scope;
  if (!scope.Active()) return -1;
  return DialogBoxParamA(instance, templateName, owner, procedure, parameter);
}
