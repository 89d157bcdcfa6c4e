// A second host process's plug-in log, for the tests. It writes one entry "TEXT ready" on its own
// (as a host process that has logged before: the log's place is decided and the log was opened
// once), sets the event READY, waits until the event START is set, then writes SESSIONS log sessions
// of one entry each, "TEXT N", as one request after another would.
//   zk_log_writer READY START TEXT SESSIONS
// Exit code 0, or 2 when the arguments are wrong or an event is missing or never came.
#include <windows.h>

#include <cstdlib>

#include "PluginLog.h"
#include "WindowsOwners.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]));
  const UniqueHandle start(OpenEventA(SYNCHRONIZE, FALSE, argv[2]));
  if (!ready || !start) return 2;
  LogAppend("%s ready\n", argv[3]);
  SetEvent(ready.Get());
  // A ceiling for a hang only: the test sets the event as soon as every writer is ready.
  if (WaitForSingleObject(start.Get(), 60000) != WAIT_OBJECT_0) return 2;
  const int sessions = std::atoi(argv[4]);
  for (int n = 1; n <= sessions; ++n) {
    const LogSession session;
    LogAppend("%s %d\n", argv[3], n);
  }
  return 0;
}
