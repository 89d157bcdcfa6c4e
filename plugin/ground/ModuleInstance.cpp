#include "ModuleInstance.h"

#include "HostSuites.h"

namespace {

HINSTANCE moduleHandle = nullptr;

}  // namespace

void RecordModuleHandle(HINSTANCE module) { moduleHandle = module; }

HINSTANCE PluginModuleHandle(SPPluginRef plugin) {
  if (plugin == nullptr) return moduleHandle;
  SPAccessRef access = nullptr;
  if (sSPAccess->GetPluginAccess(plugin, &access) == kSPNoError && access != nullptr) {
    SPPlatformAccessInfo information{};
    // Only a handle the host actually gives replaces the recorded one: a failed read must not
    // leave later dialogs (the status window among them) without their resources.
    if (sSPAccess->GetAccessInfo(access, &information) == kSPNoError) {
      void* handle = information.resourceAccess != nullptr ? information.resourceAccess : information.defaultAccess;
      if (handle != nullptr) moduleHandle = static_cast<HINSTANCE>(handle);
    }
  }
  return moduleHandle;
}
