// The two requests answered from the documents open in the host.
#pragma once

void HandleGetOpenDocuments();        // five fields per document: title, path, width, height, depth
void HandleCheckAllDocumentsSaved();  // "true" or "false"
