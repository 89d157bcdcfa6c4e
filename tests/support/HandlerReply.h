// A request handed straight to one of the bridge's image request handlers, with records of raw
// files the test keeps: the reply's fields, as the companion reads them.
#pragma once

#include "FieldLists.h"
#include "ImageRequests.h"

using ImageRequestHandler = void (*)(const FieldList&, ReplyFieldList&, ZentrastMisc::AutomationUtils::RawFileRecords&);

inline FieldList HandlerReply(ImageRequestHandler handler, const FieldList& request,
                              ZentrastMisc::AutomationUtils::RawFileRecords& records) {
  ReplyFieldList reply;
  handler(request, reply, records);
  return reply.Fields();
}
