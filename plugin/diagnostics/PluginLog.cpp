#include "PluginLog.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "WindowsOwners.h"

namespace {

bool ShellDocumentsFolder(std::string* folder) {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, FALSE)) return false;
  *folder = path;
  return true;
}

// The open log of the current session, and how deep the sessions are nested.
UniqueFile SessionFile;
int SessionDepth = 0;

// False when there is no folder to log into.
bool DecideLogFilePath() {
  if (!LogFilePath.empty()) return true;
  std::string folder;
  if (!DocumentsFolderLookup(&folder)) {
    const char* temp = std::getenv("TEMP");
    if (temp == nullptr) return false;
    folder = temp;
  }
  LogFilePath = folder + "\\ZKVPlugin.log";
  return true;
}

// Appending only, so that each write lands whole at the end even with other writers; shared so
// that readers, writers and deleters are never shut out.
UniqueFile OpenLog() {
  return UniqueFile(CreateFileA(LogFilePath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void RotateOversizedLog() {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(LogFilePath.c_str(), GetFileExInfoStandard, &data)) return;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
  const uint64_t size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if (size <= kLogRotateBytes) return;
  const size_t extension = LogFilePath.rfind(".log");
  if (extension == std::string::npos) return;
  const std::string older = LogFilePath.substr(0, extension) + ".old.log";  // "ZKVPlugin.old.log"
  MoveFileExA(LogFilePath.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING);  // a failure keeps appending
}

// The entry as text mode would have written it: every "\n" becomes CR LF.
std::string FormatEntry(const char* format, va_list arguments) {
  char stackBuffer[512];
  va_list copy;
  va_copy(copy, arguments);
  const int length = std::vsnprintf(stackBuffer, sizeof stackBuffer, format, copy);
  va_end(copy);
  if (length < 0) return {};
  std::string formatted;
  if (size_t(length) < sizeof stackBuffer) {
    formatted.assign(stackBuffer, size_t(length));
  } else {
    formatted.resize(size_t(length) + 1);
    std::vsnprintf(&formatted[0], formatted.size(), format, arguments);
    formatted.resize(size_t(length));
  }
  std::string entry;
  entry.reserve(formatted.size() + 8);
  for (const char c : formatted) {
    if (c == '\n') entry += '\r';
    entry += c;
  }
  return entry;
}

void WriteEntry(HANDLE file, const std::string& entry) {
  DWORD written = 0;
  WriteFile(file, entry.data(), DWORD(entry.size()), &written, nullptr);
}

}  // namespace

std::string LogFilePath;
DocumentsFolderLookupProc DocumentsFolderLookup = ShellDocumentsFolder;

LogSession::LogSession() noexcept {
  if (SessionDepth++ != 0) return;
  // The log never fails the operation it records: without a path or a file the entries are lost.
  try {
    if (!DecideLogFilePath()) return;
    RotateOversizedLog();
    SessionFile = OpenLog();  // may stay empty: the session's entries then try one by one
  } catch (...) {
  }
}

LogSession::~LogSession() {
  if (--SessionDepth == 0) SessionFile.Reset();
}

void LogAppend(const char* format, ...) noexcept {
  std::string entry;
  va_list arguments;
  va_start(arguments, format);
  try {
    if (DecideLogFilePath()) entry = FormatEntry(format, arguments);  // no folder: the entry is lost
  } catch (...) {
    entry.clear();  // no memory for the entry's text: it is lost, and nothing else
  }
  va_end(arguments);
  if (entry.empty()) return;
  if (SessionFile) {
    WriteEntry(SessionFile.Get(), entry);
    return;
  }
  const UniqueFile file = OpenLog();
  if (file) WriteEntry(file.Get(), entry);
}
