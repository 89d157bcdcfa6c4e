// The document queries of the host document operations (the group ZentrastMisc::AutomationUtils,
// everything the bridge does to the host's documents through the action suites): which documents
// are open, and whether they are all saved. Main thread only, like every host call.
#pragma once

#include <string>
#include <vector>

#include "HostTypes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

struct DocumentInfo {
  DocumentInfo(std::string documentTitle, std::string documentPath, int32_t pixelWidth, int32_t pixelHeight,
               int32_t bitDepth)
      : title(std::move(documentTitle)), path(std::move(documentPath)), width(pixelWidth), height(pixelHeight),
        depth(bitDepth) {}
  std::string title;
  std::string path;
  int32_t width;
  int32_t height;
  int32_t depth;
};

// Appends the open documents that have a file on disk, in the host's order. A document that
// cannot be read whole is left out; the status is that of the last document examined.
OSErr GetOpenDocuments(std::vector<DocumentInfo>& list);

// True when no open document has unsaved changes. False when the documents cannot be counted.
bool AllDocumentsSaved();

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
