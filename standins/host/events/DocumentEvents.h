// Selecting and closing documents, as plug-ins play them:
//   'slct'  'null' reference to a document (by identifier, index, name or the target): it
//           becomes the target
//   'Cls '  'Svng' enumerated 'YsN ' ('N   ': close without saving), optional 'null' reference:
//           closes that document, or the target
#pragma once

#include "ActionValue.h"
#include "DocumentModel.h"

namespace zk {

OSErr PlaySelect(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result);
OSErr PlayClose(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result);

}  // namespace zk
