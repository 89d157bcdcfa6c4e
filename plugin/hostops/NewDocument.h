// Making a new host document from the image the companion sent back, through the companion import
// plug-in (reached by playing the host's import event), and closing the raw documents the bridge
// opened for the companion. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "HostTypes.h"
#include "PixelExport.h"

namespace ZentrastMisc {
namespace AutomationUtils {

bool HasRawFileMetadata(const std::string& name);
// The entry for name (made empty when there is none: ask HasRawFileMetadata first).
const MetadataBytes& GetRawFileMetadata(const std::string& name);

// Has the import plug-in make a new document of width × height pixels, depth bits per channel,
// from the samples at pixels and the metadata bytes. 0, or the first failing step's status (the
// import's own is logged); metadata beyond a 32-bit count is refused before the host is called.
OSErr NewDocumentFromBuffer(int32_t width, int32_t height, uint32_t depth, const void* pixels,
                            const MetadataBytes& metadata);

// Closes without saving every open document whose file is in LoadedRawFiles with the value false
// (its open added it), last document first, and forgets those files. A document whose file or
// identifier cannot be read is left alone, and so is one with unsaved changes or whose changes
// cannot be read (its entry stays for a later try). A failed close is logged and the others go
// on. The status of the last host call.
OSErr CloseLoadedRawDocuments();

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
