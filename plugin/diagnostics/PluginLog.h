// The plug-in log: the host document operations append one entry per step to "ZKVPlugin.log" in
// the user's Documents folder (the TEMP folder when the shell cannot say where that is).
//
// Other programs may read, rename or delete the file at any time while the host runs: it is only
// ever opened shared for reading, writing and deleting, and each entry is one whole write at the
// file's end, so a reader sees every entry as soon as it is written.
#pragma once

#include <cstdint>
#include <string>

// printf-style; "\n" is written as CR LF. Inside a LogSession the entry goes to the session's open
// file; outside one, the entry opens, writes and closes the file by itself. Failures (no memory
// among them) lose the entry and nothing else.
void LogAppend(const char* format, ...) noexcept;

// Holds the log open for what one request writes, however many host operations it runs: the file
// is opened at the session's first entry and closed when the outermost session ends, so it is
// never held between requests, and a session that writes nothing never touches it. When the
// session opens a log over kLogRotateBytes, that log is renamed to "ZKVPlugin.old.log" (replacing
// an older one) and a new one begins: a request's entries always stay together in one file. The
// log renamed is the one measured (renamed through its own handle), so two host processes that
// log at once never rename one's fresh log over the other's old one. A
// session whose file cannot be opened tries again at its next entry. Sessions nest: only the
// outermost one opens and closes. Main thread only, as every host operation.
class LogSession {
 public:
  LogSession() noexcept;
  ~LogSession();
  LogSession(const LogSession&) = delete;
  LogSession& operator=(const LogSession&) = delete;
};

constexpr uint64_t kLogRotateBytes = 8ull * 1024 * 1024;

// Worked out on the first entry (or session) of the module's life and kept: the folder is decided
// once. Inner text (UTF-8): the folder may be named in any script, whatever the ANSI code page.
extern std::string LogFilePath;
