#include "RequestDispatcher.h"

#include "DocumentRequests.h"
#include "ImageRequests.h"
#include "RawFileRecords.h"

namespace {

// The raw files the bridge opened and the metadata captured for them, kept from run to run for
// as long as the module is loaded: a companion may send an image back in a later run.
ZentrastMisc::AutomationUtils::RawFileRecords ModuleRawFileRecords;

}  // namespace

RequestOutcome DispatchRequest(const FieldList& request, ReplyFieldList& reply) {
  reply.Clear();
  if (request.empty()) {
    ReplyError(reply, "Empty request received.");
    return RequestOutcome::Answered;
  }
  const std::string& command = request[0];
  if (command == "Running") {
    return RequestOutcome::CompanionRunning;  // answered with the end marker alone
  } else if (command == "ReadRaw") {
    HandleReadRaw(request, reply, ModuleRawFileRecords);
  } else if (command == "SendImage") {
    HandleSendImage(request, reply, ModuleRawFileRecords);
  } else if (command == "GetOpenDocuments") {
    HandleGetOpenDocuments(reply);
  } else if (command == "CheckAllDocumentsSaved") {
    HandleCheckAllDocumentsSaved(reply);
  } else {
    ReplyError(reply, "Unknown command '" + command + "' received.");
  }
  return RequestOutcome::Answered;
}
