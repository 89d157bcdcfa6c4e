// The export plug-in's side of 'Expr': writing the target document's pixels into a segment the
// caller mapped, then handing its metadata to the caller's callback. The plug-in plays
//   'Expr'  'Usng' object of the export plug-in's class:
//             'Hrzn', 'Vrtc' float   the document's size in pixels, as the caller sized the segment
//             'Dpth' integer         8 or 16: the depth to write at
//             'datA' text            decimal address of the segment's first byte
//             'metC' text            decimal address of void Callback(const void* data, int32_t length)
// Nothing is written unless every parameter is right and the size is the document's: a segment
// sized for another picture would be overrun.
#pragma once

#include "ActionValue.h"
#include "DocumentModel.h"
#include "TypeIdTable.h"

#include <cstdint>

namespace zk {

constexpr const char kExportPluginStringId[] = "b28c4e40-66a6-11e2-bcfd-0800200c9a66";

using MetadataCallback = void (*)(const void* data, int32_t length);

// The metadata goes to the callback in pieces, as a plug-in reading it from the host would hand it
// on: the first third, an empty piece, then the rest in pieces of at most this many bytes. Empty
// metadata is one empty piece.
constexpr size_t kMetadataPiece = 128;

OSErr PlayExport(TypeIdTable& typeIds, const DocumentModel& documents, const DescriptorData* parameters,
                 DescriptorData* result);

}  // namespace zk
