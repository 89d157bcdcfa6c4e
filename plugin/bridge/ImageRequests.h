// The two requests that move pixels through shared segments.
#pragma once

#include "FieldLists.h"

void HandleReadRaw(const FieldList& request, ReplyFieldList& reply);    // "OK", width, height
void HandleSendImage(const FieldList& request, ReplyFieldList& reply);  // "OK"
