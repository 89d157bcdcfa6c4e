// The raw converter's side of 'Opn ': opening an image file as a new document. The plug-in plays
//   'Opn '  'null' alias: the file's full path
//           'As  ' object of the raw converter's class: 'BtDp' enumerated 'BtDp', 'BD16' or 'BD8 '
// and the opened document (or the one already open with that file) becomes the target; the result
// carries its 'DocI'. Without 'As  ' or 'BtDp' the file opens at its own depth.
#pragma once

#include "ActionValue.h"
#include "DocumentModel.h"
#include "TypeIdTable.h"

namespace zk {

// The string ID whose type ID is the class of the 'As  ' object.
constexpr const char kRawConverterStringId[] = "Adobe Camera Raw";

// The opened document's resolution. The size is reported in distance units at this resolution,
// so the plug-in's conversion to pixels is exercised.
constexpr double kRawConverterResolution = 240;

OSErr PlayRawConverterOpen(TypeIdTable& typeIds, DocumentModel& documents, const DescriptorData* parameters,
                           DescriptorData* result);

}  // namespace zk
