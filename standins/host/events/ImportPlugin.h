// The import plug-in's side of 'Impr': making a new document from pixels and metadata the caller
// holds in its memory. The plug-in plays
//   'Impr'  'Usng' object of the import plug-in's class:
//             'Hrzn', 'Vrtc' float   the size in pixels (whole numbers, at least 1)
//             'Dpth' integer         8 or 16
//             'datA' text            decimal address of the pixels (layout of ImageSamples.h)
//             'metS' integer         the metadata's byte count, 0 or more
//             'metD' text            decimal address of the metadata; "0" when there is none (and
//                                    only then)
// The new document is the target: never saved (no file), with unsaved changes, titled
// "Untitled-N"; the result carries its 'DocI'.
#pragma once

#include "ActionValue.h"
#include "DocumentModel.h"
#include "TypeIdTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zk {

constexpr const char kImportPluginStringId[] = "b33b37f0-655e-11e2-bcfd-0800200c9a66";

// What an import made, kept after the document closes.
struct MadeDocument {
  uint32_t id = 0;
  std::string title;
  int64_t width = 0;  // pixels
  int64_t height = 0;
  int32_t depth = 8;
  size_t metadataBytes = 0;
};

OSErr PlayImport(TypeIdTable& typeIds, DocumentModel& documents, const DescriptorData* parameters,
                 DescriptorData* result, MadeDocument* made);

}  // namespace zk
