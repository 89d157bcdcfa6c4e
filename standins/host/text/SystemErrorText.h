// The system's text for an error number, for the host's messages.
#pragma once

#include <windows.h>

#include <string>

namespace zk {

// "error 2: File not found." (just "error 2" when the system has no text).
std::string SystemErrorText(DWORD error);

}  // namespace zk
