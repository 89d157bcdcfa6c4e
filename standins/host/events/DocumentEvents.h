// Selecting and closing documents, as plug-ins play them:
//   'slct'  'null' reference to a document (by identifier, index, name or the target): it
//           becomes the target
//   'Cls '  'Svng' enumerated 'YsN ' ('N   ': close without saving), optional 'null' reference:
//           closes that document, or the target
// and making a new, empty document, as File > New does:
//   'Mk  '  'Nw  ' object of class 'Dcmn': 'Wdth', 'Hght' unit floats ('#Pxl', or '#Rlt' at the
//           resolution), optional 'Rslt' unit float ('#Rsl', default 72), 'Dpth' integer (8 or 16,
//           default 8), 'Nm  ' text (default "Untitled-N"); other keys ('Md  ', 'Fl  ') are
//           taken and not used. The new document has no file and no unsaved changes, and becomes
//           the target; the result is empty (what the host's holds is not known).
#pragma once

#include "ActionValue.h"
#include "DocumentModel.h"

namespace zk {

OSErr PlaySelect(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result);
OSErr PlayClose(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result);
OSErr PlayMake(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result);

}  // namespace zk
