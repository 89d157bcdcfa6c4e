// The raw converter's side of 'Opn ': opening an image file as a new document (any picture
// ImageFiles.h decodes, or a gradient file of GradientFiles.h up to the host's largest picture,
// whose pixels are made when exported). The plug-in plays
//   'Opn '  'null' alias: the file's full path (8-bit text, or the alias suite's UTF-16 form)
//           'As  ' object of the raw converter's class: 'BtDp' enumerated 'BtDp', 'BD16' or 'BD8 '
// and the opened document (or the one already open with that file) becomes the target. The result
// holds, as the host's does, 'null': the opened file's reference, and 'As  ': the converter's
// settings (the depth it opened at). Without 'As  ' or 'BtDp' the file opens at its own depth.
// A file open already is found however the open names it. The host's answers (HostAnswers.h) may
// have it cancel every open (status 0, an empty result, nothing opened), show a dialog a person may
// cancel, open a file that is open already once more, ignore the depth asked for, or name the
// opened file as the open asked for it instead of by its final path.
#pragma once

#include "ActionValue.h"
#include "HostCodes.h"
#include "DocumentModel.h"
#include "StandInHost.h"

namespace zk {

// The class of the 'As  ' object is the type ID of kRawConverterStringId (HostCodes.h).

// The opened document's resolution. The size is reported in distance units at this resolution,
// so the plug-in's conversion to pixels is exercised.
constexpr double kRawConverterResolution = 240;

// The caption of the converter's dialog (HostAnswers::rawConverterDialog): OK opens, anything
// else cancels the open.
constexpr const wchar_t kRawConverterDialogCaption[] = L"Raw converter";

OSErr PlayRawConverterOpen(StandInHost& host, DocumentModel& documents, const DescriptorData* parameters,
                           PIDialogPlayOptions options, DescriptorData* result);

}  // namespace zk
