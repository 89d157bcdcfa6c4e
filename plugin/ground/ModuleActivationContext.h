// The activation context the system made from the module's manifest, active for one scope.
#pragma once

#include <windows.h>

class ModuleActivationScope {
 public:
  ModuleActivationScope();
  ~ModuleActivationScope();
  ModuleActivationScope(const ModuleActivationScope&) = delete;
  ModuleActivationScope& operator=(const ModuleActivationScope&) = delete;

  // False when the context could not be looked up or activated: show nothing then.
  bool Active() const { return active; }

 private:
  ULONG_PTR cookie = 0;
  bool active = false;
  bool deactivate = false;
};
