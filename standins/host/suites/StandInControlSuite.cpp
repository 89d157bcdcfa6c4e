#include "StandInControlSuite.h"

// The action control suite. Play and Get are the document model's way in: Play runs the handler
// registered for the event (unless the bookkeeping was told to fail it), Get asks the host's resolver.
#include "FourCCText.h"
#include "HostCodes.h"
#include "HostStatus.h"
#include "StandInHost.h"
#include "SuiteCall.h"

#include <cstring>
#include <new>
#include <string>

namespace zk {
namespace {

SuiteCall Enter(const char* procedure) { return EnterProcedure("PSActionControl", procedure); }

// The caller owns a result descriptor after every Play, also a failed one; a failure carries a message.
// Only an event told to play without a result (HostBookkeeping::PlayWithoutResult) leaves it null.
OSErr HOSTCALL Play(PIActionDescriptor* result, DescriptorEventID event, PIActionDescriptor parameters,
           PIDialogPlayOptions options) {
  SuiteCall call = Enter("Play");
  if (result) *result = nullptr;
  if (call.status) return OSErr(call.status);
  if (!result) return kStandInParamError;
  const DescriptorData* input = nullptr;
  if (parameters) {
    input = call.Objects().Descriptor(parameters);
    if (!input) return kStandInParamError;
  }
  DescriptorData output;
  OSErr status = kStandInEventNotHandled;
  std::string message = "The stand-in host could not carry out the event.";
  if (int32_t injected = call.host->Book().EnterEvent(event)) {
    status = OSErr(injected);
    message = "The stand-in host was told to fail the event " + FourCCText(event) + ".";
  } else if (const EventHandler* handler = call.host->FindEvent(event)) {
    // The plug-in's time inside the event, apart from the time of the host call around it.
    LARGE_INTEGER started, ended;
    QueryPerformanceCounter(&started);
    // No exception may cross into the plug-in: a picture too large to hold fails the play.
    try {
      status = (*handler)(event, input, options, &output);
    } catch (const std::bad_alloc&) {
      output = DescriptorData();
      status = kStandInMemoryError;
      message = "The stand-in host has not enough memory to carry out the event.";
    }
    QueryPerformanceCounter(&ended);
    call.host->Book().AddEventTicks(event, ended.QuadPart - started.QuadPart);
  }
  if (status == 0 && call.host->Book().PlaysWithoutResult(event)) return 0;  // a fault asked for
  if (status != 0 && !output.Find(keyMessage)) {
    ActionValue text;
    text.type = typeChar;
    text.bytes = message;
    output.Put(keyMessage, text);
  }
  *result = call.Objects().NewDescriptor(std::move(output));
  return status;
}

OSErr HOSTCALL Get(PIActionDescriptor* result, PIActionReference reference) {
  SuiteCall call = Enter("Get");
  if (result) *result = nullptr;
  if (call.status) return OSErr(call.status);
  ReferenceData* data = call.Objects().Reference(reference);
  if (!result || !data) return kStandInParamError;
  if (!call.host->Resolver()) return kStandInNoSuchObject;
  DescriptorData output;
  if (OSErr status = call.host->Resolver()(*data, &output)) return status;
  *result = call.Objects().NewDescriptor(std::move(output));
  return 0;
}

OSErr HOSTCALL StringIDToTypeID(const char* stringId, DescriptorTypeID* typeId) {
  SuiteCall call = Enter("StringIDToTypeID");
  if (call.status) return OSErr(call.status);
  if (!stringId || !typeId) return kStandInParamError;
  *typeId = call.host->TypeIds().ToTypeId(stringId);
  return 0;
}

// At most maxLength - 1 characters and always a terminating zero.
OSErr HOSTCALL TypeIDToStringID(DescriptorTypeID typeId, char* buffer, uint32_t maxLength) {
  SuiteCall call = Enter("TypeIDToStringID");
  if (call.status) return OSErr(call.status);
  if (!buffer || maxLength == 0) return kStandInParamError;
  std::string stringId;
  if (!call.host->TypeIds().ToStringId(typeId, &stringId)) return kStandInNoSuchObject;
  size_t n = stringId.size() < maxLength - 1 ? stringId.size() : maxLength - 1;
  std::memcpy(buffer, stringId.data(), n);
  buffer[n] = '\0';
  return 0;
}

OSErr HOSTCALL AddNotify(SPPluginRef, DescriptorEventID, PIEventNotifier, void*) {
  SuiteCall call = Enter("AddNotify");
  return call.status ? OSErr(call.status) : kStandInNotImplemented;
}

OSErr HOSTCALL RemoveNotify(SPPluginRef, DescriptorEventID) {
  SuiteCall call = Enter("RemoveNotify");
  return call.status ? OSErr(call.status) : kStandInNotImplemented;
}

// The stand-in keeps no history, so suspending it just runs the procedure.
OSErr HOSTCALL SuspendHistory(PIActionReference, PISuspendProc proc, void* data, ASZString) {
  SuiteCall call = Enter("SuspendHistory");
  if (call.status) return OSErr(call.status);
  if (!proc) return kStandInParamError;
  return OSErr(proc(data));
}

OSErr HOSTCALL MakeStringAlias(const char* newStringId, const char* existingStringId) {
  SuiteCall call = Enter("MakeStringAlias");
  if (call.status) return OSErr(call.status);
  if (!newStringId || !existingStringId) return kStandInParamError;
  return call.host->TypeIds().MakeAlias(newStringId, existingStringId) ? OSErr(0) : kStandInParamError;
}

const PSActionControlProcs kControlSuite = {
    Play, Get, StringIDToTypeID, TypeIDToStringID, AddNotify, RemoveNotify, SuspendHistory, MakeStringAlias,
};

}  // namespace

const PSActionControlProcs* StandInControlSuite() { return &kControlSuite; }

}  // namespace zk
