#include "ImageRequests.h"

// Opening raw files and exchanging pixels through shared segments is not built yet; the companion
// is told so plainly rather than that it sent an unknown command.
void HandleReadRaw(const FieldList&, ReplyFieldList& reply) {
  ReplyError(reply, "ReadRaw is not available in this version.");
}

void HandleSendImage(const FieldList&, ReplyFieldList& reply) {
  ReplyError(reply, "SendImage is not available in this version.");
}
