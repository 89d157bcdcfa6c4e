// The module's entry point: the one function through which the host drives it.
#pragma once

#include "HostTypes.h"

// The record of one "Do It" call. A failing preparation stores the host's status here and throws
// a pointer to the record.
struct AutomationFilterData {
  int32_t resultCode = 0;
};

extern "C" __declspec(dllexport) SPErr AutoPluginMain(const char* caller, const char* selector, void* message);

SPErr HandleDoIt(AutomationFilterData& record, PSActionsPlugInMessage* message);
