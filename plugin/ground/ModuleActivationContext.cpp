#include "ModuleActivationContext.h"

namespace {

struct ModuleContext {
  bool available = false;
  HANDLE context = nullptr;  // null: the module has no manifest, nothing to activate
};

// Looked up once; the outcome holds for the life of the module.
const ModuleContext& LookUp() {
  static const ModuleContext state = [] {
    ModuleContext found;
    ACTIVATION_CONTEXT_BASIC_INFORMATION information{};
    SIZE_T needed = 0;
    // Any address inside the module finds the context the system made from its manifest.
    found.available = QueryActCtxW(QUERY_ACTCTX_FLAG_ACTCTX_IS_ADDRESS | QUERY_ACTCTX_FLAG_NO_ADDREF,
                                   reinterpret_cast<void*>(&LookUp), nullptr, ActivationContextBasicInformation,
                                   &information, sizeof information, &needed) != FALSE;
    if (found.available) found.context = information.hActCtx;
    return found;
  }();
  return state;
}

}  // namespace

ModuleActivationScope::ModuleActivationScope() {
  const ModuleContext& module = LookUp();
  if (!module.available) return;
  active = module.context == nullptr || ActivateActCtx(module.context, &cookie) != FALSE;
  deactivate = module.context != nullptr && active;
}

// The thread's last error is the one the call inside the scope left.
ModuleActivationScope::~ModuleActivationScope() {
  if (!deactivate) return;
  const DWORD error = GetLastError();
  DeactivateActCtx(0, cookie);
  SetLastError(error);
}
