// How a run of the stand-in companion ended. `exit N` in a scenario ends with N instead.
#pragma once

namespace zk {

constexpr int kExitDone = 0;            // the scenario ran to its end
constexpr int kExitInternal = 1;        // the program itself failed (no thread, ...)
constexpr int kExitBadCommandLine = 2;  // no pipe name suffix after " -s "
constexpr int kExitBadScenario = 3;     // the scenario file could not be read or is malformed
constexpr int kExitNoConnection = 4;    // the pipe could not be opened in the connect time
constexpr int kExitPipeFailed = 5;      // a read or write failed, or a reply was refused
constexpr int kExitPeerClosed = 6;      // the plug-in closed the pipe while the scenario still needed it
constexpr int kExitWindowClosed = 7;    // the user closed the window before the scenario ended
constexpr int kExitStatementFailed = 8; // the scenario ran to its end, but an image statement failed
constexpr int kExitKilledSelf = 9;      // kill-self: the process ended itself as if killed

}  // namespace zk
