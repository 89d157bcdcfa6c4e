#include "ImageRequests.h"

#include "RequestDispatcher.h"

// Opening raw files and exchanging pixels through shared segments is not built yet; the companion
// is told so plainly rather than that it sent an unknown command.
void HandleReadRaw() { ReplyError("ReadRaw is not available in this version."); }

void HandleSendImage() { ReplyError("SendImage is not available in this version."); }
