#include "DocumentRequests.h"

#include "AutomationUtils.h"
#include "BridgeState.h"
#include "RequestNumbers.h"

namespace AutomationUtils = ZentrastMisc::AutomationUtils;

void HandleGetOpenDocuments() {
  std::vector<AutomationUtils::DocumentInfo> documents;
  AutomationUtils::GetOpenDocuments(documents);  // whatever could be read is listed
  for (const AutomationUtils::DocumentInfo& document : documents) {
    ReplyFields.Append(document.title);
    ReplyFields.Append(document.path);
    ReplyFields.Append(FormatNumber(document.width));
    ReplyFields.Append(FormatNumber(document.height));
    ReplyFields.Append(FormatNumber(document.depth));
  }
}

void HandleCheckAllDocumentsSaved() { ReplyFields.Append(AutomationUtils::AllDocumentsSaved() ? "true" : "false"); }
