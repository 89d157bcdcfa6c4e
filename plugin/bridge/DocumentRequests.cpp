#include "DocumentRequests.h"

#include "DocumentQueries.h"
#include "RequestNumbers.h"

namespace AutomationUtils = ZentrastMisc::AutomationUtils;

void HandleGetOpenDocuments(ReplyFieldList& reply) {
  std::vector<AutomationUtils::DocumentInfo> documents;
  AutomationUtils::GetOpenDocuments(documents);  // whatever could be read is listed
  for (const AutomationUtils::DocumentInfo& document : documents) {
    reply.Append(document.title);
    reply.Append(document.path);
    reply.Append(FormatNumber(document.width));
    reply.Append(FormatNumber(document.height));
    reply.Append(FormatNumber(document.depth));
  }
}

void HandleCheckAllDocumentsSaved(ReplyFieldList& reply) {
  reply.Append(AutomationUtils::AllDocumentsSaved() ? "true" : "false");
}
