// Which host program the check runs in, for the report's header: its path and the file version its
// own version resource gives.
#pragma once

#include <string>

// "C:\...\host.exe, version 25.1.0.0", or "..., no version resource". UTF-8.
std::string HostProgramText();
