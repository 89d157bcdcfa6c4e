#include "HostMessages.h"

#include "AboutBox.h"
#include "HostSession.h"
#include "HostSuites.h"

SPErr AnswerHostMessage(const char* caller, const char* selector, void* message, int32_t aboutTemplate,
                        DoItAction doIt) {
  SPErr result = kSPNoError;
  try {
    auto* header = static_cast<SPMessageData*>(message);
    // Without a message or a basic suite there is nothing to answer with; never dereference them.
    if (header == nullptr || header->basic == nullptr) return kSPBadParameterError;
    sSPBasic = header->basic;
    HostPluginRef = header->self;

    if (sSPBasic->IsEqual(caller, kSPInterfaceCaller) && sSPBasic->IsEqual(selector, kSPAboutSelector)) {
      ShowAboutBox(HostPluginRef, aboutTemplate);
    }
    if (sSPBasic->IsEqual(caller, kPSPhotoshopCaller) && sSPBasic->IsEqual(selector, kPSDoIt)) {
      ForgetSuiteRefusals();  // a suite refused in an earlier run is asked for again
      result = doIt(static_cast<PSActionsPlugInMessage*>(message));
    }
  } catch (...) {
    // The thrown object is not examined: every failure that ends here is a bad parameter to the host.
    if (result == kSPNoError) result = kSPBadParameterError;
  }
  return result;
}
