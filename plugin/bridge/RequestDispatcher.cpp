#include "RequestDispatcher.h"

#include "BridgeState.h"
#include "DocumentRequests.h"
#include "ImageRequests.h"
#include "ResourceIds.h"
#include "StringLoader.h"

namespace {

void HandleRunning(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_STATUS_TEXT, LoadModuleString(IDS_STATUS_RUNNING).c_str());
}

}  // namespace

void ReplyError(const std::string& message) {
  ReplyFields.Append("Error");
  ReplyFields.Append(message);
}

void DispatchRequest(HWND dialog) {
  ReplyFields.Clear();
  if (RequestFields.empty()) {
    ReplyError("Empty request received.");
    return;
  }
  const std::string& command = RequestFields[0];
  if (command == "Running") {
    HandleRunning(dialog);
  } else if (command == "ReadRaw") {
    HandleReadRaw();
  } else if (command == "SendImage") {
    HandleSendImage();
  } else if (command == "GetOpenDocuments") {
    HandleGetOpenDocuments();
  } else if (command == "CheckAllDocumentsSaved") {
    HandleCheckAllDocumentsSaved();
  } else {
    ReplyError("Unknown command '" + command + "' received.");
  }
}
