// Making a new host document from the image the companion sent back, through the companion import
// plug-in (reached by playing the host's import event), and closing the raw documents the bridge
// opened for the companion. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "HostTypes.h"
#include "MetadataBytes.h"
#include "RawFileRecords.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// Has the import plug-in make a new document of width × height pixels, depth bits per channel,
// from the samples at pixels and the metadata bytes. 0, or the first failing step's status (the
// import's own is logged); metadata beyond a 32-bit count is refused before the host is called.
OSErr NewDocumentFromBuffer(int32_t width, int32_t height, uint32_t depth, const void* pixels,
                            const MetadataBytes& metadata);

// Closes without saving the documents the bridge's own raw opens added (records.OpenedRawDocuments),
// found by their identifiers, last document first, and forgets them; their files' LoadedRawFiles
// entries go with the last of them. No other document is ever closed. One with unsaved changes, or whose
// changes cannot be read, stays open and is looked at again by a later call, as is one whose close
// fails (logged; the others go on); one the person closed is forgotten. The status of the last
// host call.
OSErr CloseLoadedRawDocuments(RawFileRecords& records);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
