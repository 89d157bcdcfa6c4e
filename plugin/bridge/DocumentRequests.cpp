#include "DocumentRequests.h"

#include "RequestDispatcher.h"

// The document queries through the host's action suites are not built yet; until they are, the
// companion gets a clear error instead of an answer that would claim to know the documents.
void HandleGetOpenDocuments() { ReplyError("GetOpenDocuments is not available in this version."); }

void HandleCheckAllDocumentsSaved() { ReplyError("CheckAllDocumentsSaved is not available in this version."); }
