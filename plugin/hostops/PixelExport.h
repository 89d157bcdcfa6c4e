// Exporting the active document's pixels into the companion's shared segment through the
// companion export plug-in, which the bridge reaches by playing the host's export event, with the
// metadata the plug-in delivers. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostTypes.h"
#include "MetadataBytes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// The most metadata one export may deliver (see PixelExport.cpp for why).
constexpr size_t kMostGrabbedMetadataBytes = 64u * 1024 * 1024;

// The export plug-in's callback, handed over by address: appends one chunk of metadata. A chunk
// with a negative length or no address is ignored. A chunk that would take the export's metadata
// beyond kMostGrabbedMetadataBytes, or that cannot be kept for want of memory, drops everything
// the export delivered and makes it count as failed. It runs inside the host's Play, called from
// the plug-in's frames: nothing may unwind out of it.
void AppendGrabbedMetadata(const void* data, int32_t length) noexcept;

// Has the export plug-in write the active document's pixels (width × height, depth bits per
// channel) at pixels, and replaces metadata with what it delivered. With closeAfter, a successful
// export is followed by closing the document without saving, unless it has unsaved changes (a
// person's work is never discarded); a failed close is logged and does not fail the export.
// 0, or the host's status of the first failing step; -108 (and no metadata) when the metadata
// could not be kept or handed on.
OSErr GrabBuffer(int32_t width, int32_t height, int32_t depth, uint64_t pixels, MetadataBytes& metadata,
                 bool closeAfter);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
