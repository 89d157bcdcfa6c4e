// A second host process's plug-in log, for the tests: waits until the named event is set, then
// writes SESSIONS log sessions of one entry each, "TEXT N", as one request after another would.
//   zk_log_writer EVENT TEXT SESSIONS
// Exit code 0, or 2 when the arguments are wrong or the event never came.
#include <windows.h>

#include <cstdlib>

#include "PluginLog.h"
#include "WindowsOwners.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const UniqueHandle start(OpenEventA(SYNCHRONIZE, FALSE, argv[1]));
  // A ceiling for a hang only: the test sets the event as soon as every writer has started.
  if (!start || WaitForSingleObject(start.Get(), 60000) != WAIT_OBJECT_0) return 2;
  const int sessions = std::atoi(argv[3]);
  for (int n = 1; n <= sessions; ++n) {
    const LogSession session;
    LogAppend("%s %d\n", argv[2], n);
  }
  return 0;
}
