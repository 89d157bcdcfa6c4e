#include "EntryPoint.h"

#include <memory>

#include "HostCodes.h"
#include "HostMessages.h"
#include "HostObjectOwners.h"
#include "HostSuites.h"
#include "ResourceIds.h"
#include "StatusDialog.h"

namespace {

[[noreturn]] void Fail(AutomationFilterData& record, int32_t status) {
  record.resultCode = status;
  throw &record;
}

}  // namespace

SPErr HandleDoIt(AutomationFilterData& record, PSActionsPlugInMessage* message) {
  ReferenceHolder target;
  // The plug-in's name as the host hands it out. Released explicitly on the normal path, so that a
  // missing ZString suite reaches the host as 'Parm'; the owner releases it on the failure paths.
  ZStringHolder name;

  SPErr status = MakeReference(target);
  if (status != kSPNoError) Fail(record, status);  // never hand the host a null reference
  status = sPSUIHooks->GetPluginName(message->d.self, name.Address());
  if (status != kSPNoError) Fail(record, status);

  // A 16-bit host status, widened with its sign.
  status = sPSActionReference->PutEnumerated(target.Get(), classDocument, typeOrdinal, enumTarget);
  if (status != kSPNoError) Fail(record, status);

  RunStatusDialog();

  // Whatever happened in the run was told to the user; the host only learns that it ran.
  record.resultCode = 0;
  const ASZString held = name.Take();
  if (held != nullptr) sASZString->Release(held);
  return record.resultCode;
}

namespace {

// The record lives for the one call, also when HandleDoIt throws it.
SPErr DoIt(PSActionsPlugInMessage* message) {
  auto record = std::make_unique<AutomationFilterData>();
  return HandleDoIt(*record, message);
}

}  // namespace

SPErr AutoPluginMain(const char* caller, const char* selector, void* message) {
  return AnswerHostMessage(caller, selector, message, IDD_ABOUT_BOX, DoIt);
}
