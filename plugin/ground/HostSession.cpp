#include "HostSession.h"

SPBasicSuite* sSPBasic = nullptr;
SPPluginRef HostPluginRef = nullptr;
