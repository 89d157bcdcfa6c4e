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

// The number of open documents (the application's 'NmbD'): the host's status; count is 0 unless
// it was read.
int32_t OpenDocumentCount(int32_t* count);

// Reads a document's 'Wdth' and 'Hght' as whole numbers, for the log only: a failure is logged and
// changes nothing. How a host answers an integer read of a unit value is not known (it may convert,
// or answer a status), so the sizes always come from the unit values.
void LogWholeNumberSizeReads(PIActionDescriptor document);

// A length in the given unit as pixels: distance units (1/72 inch) scale with the resolution.
double UnitValueToPixels(double value, DescriptorUnitID unit, double resolution);
// The same rounded to whole pixels (+0.5, truncated); false when it is not a finite number that
// fits 32 bits (the host's value is then no size at all).
bool UnitValueToWholePixels(double value, DescriptorUnitID unit, double resolution, int32_t* pixels);

// Appends the open documents that have a file on disk, in the host's order. A document that
// cannot be read whole is left out; the status is that of the last document examined.
OSErr GetOpenDocuments(std::vector<DocumentInfo>& list);

// True when no open document has unsaved changes. False when the documents cannot be counted.
bool AllDocumentsSaved();

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
