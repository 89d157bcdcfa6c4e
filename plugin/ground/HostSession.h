// The two values the host hands the module on every call of the entry point.
#pragma once

#include "BasicSuite.h"

// The basic suite of the host's latest call: every other suite is acquired and released through it.
extern SPBasicSuite* sSPBasic;
// The plug-in's own reference, from the latest call.
extern SPPluginRef HostPluginRef;
