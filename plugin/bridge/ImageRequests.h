// The two requests that move pixels through shared segments. Both read and write the bridge's
// records of the raw files it opened (RawFileRecords.h), which outlive the request and the run.
#pragma once

#include "FieldLists.h"
#include "RawFileRecords.h"

// "OK", width, height.
void HandleReadRaw(const FieldList& request, ReplyFieldList& reply,
                   ZentrastMisc::AutomationUtils::RawFileRecords& records);
// "OK".
void HandleSendImage(const FieldList& request, ReplyFieldList& reply,
                     ZentrastMisc::AutomationUtils::RawFileRecords& records);
