// The host check's entry point: the host's messages answered as the bridge module answers them,
// "Do It" running the check.
#include "HostCheckResourceIds.h"
#include "HostCheckRun.h"
#include "HostMessages.h"

extern "C" __declspec(dllexport) SPErr AutoPluginMain(const char* caller, const char* selector, void* message) {
  return AnswerHostMessage(caller, selector, message, IDD_HOSTCHECK_ABOUT_BOX, RunHostCheck);
}
