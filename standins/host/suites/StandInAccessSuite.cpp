#include "StandInAccessSuite.h"

// The SP access suite: the loaded plug-in's access record and its module handle.
#include "StandInHost.h"
#include "SuiteCall.h"

namespace zk {
namespace {

SuiteCall Enter(const char* procedure) { return EnterProcedure("SPAccess", procedure); }

SPErr HOSTCALL AcquirePlugin(SPPluginRef plugin, SPAccessRef* access) {
  SuiteCall call = Enter("AcquirePlugin");
  if (call.status) return call.status;
  SPAccess* record = call.host->AccessOf(plugin);
  if (!record || !access) return kSPBadParameterError;
  ++record->acquisitions;
  *access = record;
  return kSPNoError;
}

SPErr HOSTCALL ReleasePlugin(SPAccessRef access) {
  SuiteCall call = Enter("ReleasePlugin");
  if (call.status) return call.status;
  if (!call.host->PluginOfAccess(access) || access->acquisitions <= 0) return kSPBadParameterError;
  --access->acquisitions;
  return kSPNoError;
}

SPErr HOSTCALL GetPluginAccess(SPPluginRef plugin, SPAccessRef* access) {
  SuiteCall call = Enter("GetPluginAccess");
  if (call.status) return call.status;
  SPAccess* record = call.host->AccessOf(plugin);
  if (!record || !access) return kSPBadParameterError;
  *access = record;
  return kSPNoError;
}

SPErr HOSTCALL GetAccessPlugin(SPAccessRef access, SPPluginRef* plugin) {
  SuiteCall call = Enter("GetAccessPlugin");
  if (call.status) return call.status;
  SPPluginRef owner = call.host->PluginOfAccess(access);
  if (!owner || !plugin) return kSPBadParameterError;
  *plugin = owner;
  return kSPNoError;
}

SPErr HOSTCALL GetAccessEntry(SPAccessRef access, SPEntry* entry) {
  SuiteCall call = Enter("GetAccessEntry");
  if (call.status) return call.status;
  if (!call.host->PluginOfAccess(access) || !entry) return kSPBadParameterError;
  *entry = call.host->Entry();
  return kSPNoError;
}

SPErr HOSTCALL GetAccessCount(SPAccessRef access, int32_t* count) {
  SuiteCall call = Enter("GetAccessCount");
  if (call.status) return call.status;
  if (!call.host->PluginOfAccess(access) || !count) return kSPBadParameterError;
  *count = access->acquisitions;
  return kSPNoError;
}

// Both handles are the module's own: its resources are read through it.
SPErr HOSTCALL GetAccessInfo(SPAccessRef access, SPPlatformAccessInfo* info) {
  SuiteCall call = Enter("GetAccessInfo");
  if (call.status) return call.status;
  if (!call.host->PluginOfAccess(access) || !info) return kSPBadParameterError;
  info->defaultAccess = call.host->Module();
  info->resourceAccess = call.host->Module();
  info->lastAccessTicks = uint32_t(GetTickCount64() * 60 / 1000);
  return kSPNoError;
}

SPErr HOSTCALL GetPluginResourceAccess(SPPluginRef plugin, SPPlatformAccessRef* resourceAccess) {
  SuiteCall call = Enter("GetPluginResourceAccess");
  if (call.status) return call.status;
  if (!call.host->AccessOf(plugin) || !resourceAccess) return kSPBadParameterError;
  *resourceAccess = call.host->Module();
  return kSPNoError;
}

SPErr HOSTCALL SetPluginResourceAccess(SPPluginRef, SPPlatformAccessRef) {
  SuiteCall call = Enter("SetPluginResourceAccess");
  return call.status ? call.status : kSPUnimplementedError;
}

SPErr HOSTCALL CallPlugin(SPAccessRef, const char*, const char*, void*, SPErr*) {
  SuiteCall call = Enter("CallPlugin");
  return call.status ? call.status : kSPUnimplementedError;
}

SPErr HOSTCALL GetCurrentPlugin(SPPluginRef* plugin) {
  SuiteCall call = Enter("GetCurrentPlugin");
  if (call.status) return call.status;
  if (!plugin) return kSPBadParameterError;
  *plugin = call.host->PluginRef();
  return kSPNoError;
}

SPErr HOSTCALL SetCurrentPlugin(SPPluginRef) {
  SuiteCall call = Enter("SetCurrentPlugin");
  return call.status ? call.status : kSPUnimplementedError;
}

const SPAccessSuite kAccessSuite = {
    AcquirePlugin,  ReleasePlugin,  GetPluginAccess,         GetAccessPlugin,
    GetAccessEntry, GetAccessCount, GetAccessInfo,           GetPluginResourceAccess,
    SetPluginResourceAccess, CallPlugin, GetCurrentPlugin,   SetCurrentPlugin,
};

}  // namespace

const SPAccessSuite* StandInAccessSuite() { return &kAccessSuite; }

}  // namespace zk
