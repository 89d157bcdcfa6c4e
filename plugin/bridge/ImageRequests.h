// The two requests that move pixels through shared segments.
#pragma once

void HandleReadRaw();    // "OK", width, height
void HandleSendImage();  // "OK"
