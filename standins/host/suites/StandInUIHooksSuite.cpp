#include "StandInUIHooksSuite.h"

// The UI hooks suite: the host's main window, ticks, and the plug-in's menu name.
#include "HostStatus.h"
#include "StandInHost.h"
#include "SuiteCall.h"
#include "TextConvert.h"

namespace zk {
namespace {

SuiteCall Enter(const char* procedure) { return EnterProcedure("PSUIHooks", procedure); }

void HOSTCALL ProcessEvent(void*) { Enter("processEvent"); }

OSErr HOSTCALL DisplayPixels(const PSPixelMap*, const VRect*, int32_t, int32_t, void*) {
  SuiteCall call = Enter("displayPixels");
  return call.status ? OSErr(call.status) : kStandInNotImplemented;
}

void HOSTCALL ProgressBar(int32_t, int32_t) { Enter("progressBar"); }

Boolean HOSTCALL TestAbort() {
  Enter("testAbort");
  return 0;
}

intptr_t HOSTCALL MainAppWindow() {
  SuiteCall call = Enter("MainAppWindow");
  return call.status ? 0 : reinterpret_cast<intptr_t>(call.host->MainWindowHandle());
}

SPErr HOSTCALL SetCursor(const char*) {
  SuiteCall call = Enter("SetCursor");
  return call.status ? call.status : kSPUnimplementedError;
}

uint32_t HOSTCALL TickCount() {
  Enter("TickCount");
  return uint32_t(GetTickCount64() * 60 / 1000);
}

// A new ZString (one reference, the caller releases it) of the menu name of the plug-in asked for.
SPErr HOSTCALL GetPluginName(SPPluginRef plugin, ASZString* name) {
  SuiteCall call = Enter("GetPluginName");
  if (call.status) return call.status;
  if (!name || !plugin || plugin != call.host->PluginRef() || !call.host->LoadedPlugin()) {
    return kSPBadParameterError;
  }
  *name = call.Objects().NewZString(AnsiToUtf16(call.host->LoadedPlugin()->pipl.name));
  return kSPNoError;
}

const PSUIHooksSuite1 kUIHooksSuite = {ProcessEvent, DisplayPixels, ProgressBar, TestAbort,
                                       MainAppWindow, SetCursor,    TickCount,   GetPluginName};

}  // namespace

const PSUIHooksSuite1* StandInUIHooksSuite() { return &kUIHooksSuite; }

}  // namespace zk
