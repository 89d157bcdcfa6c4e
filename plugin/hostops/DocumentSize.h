// Reading a document's size from its descriptor, as both the raw load and the listing of open
// documents read it, with the log entries those steps have always had: they begin "LoadRAW: "
// whichever of the two reads, since that is how the log's readers know them. Main thread only.
#pragma once

#include <cstdint>

#include "HostTypes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

struct DocumentSize {
  DescriptorUnitID unit = 0;  // the height's; it serves both
  double width = 0;
  double height = 0;
  double resolution = 0;

  // Both lengths as whole pixels; false when either is no whole number of pixels (UnitValueToWholePixels).
  bool WholePixels(int32_t* pixelWidth, int32_t* pixelHeight) const;
};

// Reads 'Wdth', 'Hght' (unit values) and 'Rslt'. Before them the two lengths are read as whole
// numbers for the log only: how a host answers an integer read of a unit value is not known (it
// may convert, or answer a status), so a failure there is logged and changes nothing. The status
// of the first failing read of the unit values or the resolution, logged; 0 when all were read.
int32_t ReadDocumentSize(PIActionDescriptor document, DocumentSize* size);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
