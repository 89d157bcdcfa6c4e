// The two requests answered from the documents open in the host.
#pragma once

#include "FieldLists.h"

void HandleGetOpenDocuments(ReplyFieldList& reply);        // five fields per document: title, path, width, height, depth
void HandleCheckAllDocumentsSaved(ReplyFieldList& reply);  // "true" or "false"
