#include "ModalDialog.h"

#include "HostSuites.h"

namespace {

HINSTANCE moduleHandle = nullptr;

struct ModuleActivationContext {
  bool lookedUp = false;
  bool available = false;
  HANDLE context = nullptr;  // null: the module has no manifest, nothing to activate
};

const ModuleActivationContext& LookUpActivationContext() {
  static ModuleActivationContext state;
  if (!state.lookedUp) {
    state.lookedUp = true;
    ACTIVATION_CONTEXT_BASIC_INFORMATION information{};
    SIZE_T needed = 0;
    // Any address inside the module finds the context the system made from its manifest.
    state.available =
        QueryActCtxW(QUERY_ACTCTX_FLAG_ACTCTX_IS_ADDRESS | QUERY_ACTCTX_FLAG_NO_ADDREF,
                     reinterpret_cast<void*>(&LookUpActivationContext), nullptr, ActivationContextBasicInformation,
                     &information, sizeof information, &needed) != FALSE;
    if (state.available) state.context = information.hActCtx;
  }
  return state;
}

// Keeps a context active for one scope; the thread's last error survives the deactivation.
class ActivationScope {
 public:
  explicit ActivationScope(HANDLE context) {
    active = context == nullptr || ActivateActCtx(context, &cookie) != FALSE;
    deactivate = context != nullptr && active;
  }
  ~ActivationScope() {
    if (!deactivate) return;
    const DWORD error = GetLastError();
    DeactivateActCtx(0, cookie);
    SetLastError(error);
  }
  ActivationScope(const ActivationScope&) = delete;
  ActivationScope& operator=(const ActivationScope&) = delete;
  bool Active() const { return active; }

 private:
  ULONG_PTR cookie = 0;
  bool active = false;
  bool deactivate = false;
};

}  // namespace

void RecordModuleHandle(HINSTANCE module) { moduleHandle = module; }

INT_PTR ShowModalDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM parameter) {
  const ModuleActivationContext& context = LookUpActivationContext();
  if (!context.available) return -1;
  ActivationScope scope(context.context);
  if (!scope.Active()) return -1;
  return DialogBoxParamA(instance, templateName, owner, procedure, parameter);
}

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
