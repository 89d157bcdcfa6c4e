#include "HostSuites.h"

SuiteHolderOf<PSActionDescriptorProcs> sPSActionDescriptor(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion);
SuiteHolderOf<PSActionReferenceProcs> sPSActionReference(kPSActionReferenceSuite, kPSActionReferenceSuiteVersion);
SuiteHolderOf<PSActionListProcs> sPSActionList(kPSActionListSuite, kPSActionListSuiteVersion);
SuiteHolderOf<PSActionControlProcs> sPSActionControl(kPSActionControlSuite, kPSActionControlSuiteVersion);
SuiteHolderOf<PSHandleSuite2> sPSHandle(kPSHandleSuite, kPSHandleSuiteVersion);
SuiteHolderOf<PSUIHooksSuite1> sPSUIHooks(kPSUIHooksSuite, kPSUIHooksSuiteVersion);
SuiteHolderOf<ASZStringSuite> sASZString(kASZStringSuite, kASZStringSuiteVersion);
SuiteHolderOf<SPAccessSuite> sSPAccess(kSPAccessSuite, kSPAccessSuiteVersion);
SuiteHolderOf<PSAliasSuite2> sPSAlias(kPSAliasSuite, kPSAliasSuiteVersion2);

namespace {

const std::vector<SuiteHolder*>& Holders() {
  static const std::vector<SuiteHolder*> holders = {&sPSActionDescriptor, &sPSActionReference, &sPSActionList,
                                                    &sPSActionControl,    &sPSHandle,          &sPSUIHooks,
                                                    &sASZString,          &sSPAccess,          &sPSAlias};
  return holders;
}

}  // namespace

const std::vector<const SuiteHolder*>& ModuleSuiteHolders() {
  static const std::vector<const SuiteHolder*> holders(Holders().begin(), Holders().end());
  return holders;
}

void ForgetSuiteRefusals() {
  for (SuiteHolder* holder : Holders()) holder->ForgetRefusal();
}
