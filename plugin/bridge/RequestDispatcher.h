// Understands the companion's requests and leaves each answer in ReplyFields. Runs on the host's
// main thread, inside the status dialog, while the listener waits for the reply.
#pragma once

#include <windows.h>

#include <string>

void DispatchRequest(HWND dialog);

// An error reply: "Error", then the message.
void ReplyError(const std::string& message);
