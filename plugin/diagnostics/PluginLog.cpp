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

// The open log of the current session (empty until its first entry), and how deep the sessions
// are nested.
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
// that readers, writers and deleters are never shut out. Its size can be read through the handle.
UniqueFile OpenLog() {
  return UniqueFile(CreateFileA(LogFilePath.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

void RenameToOlderLog() {
  const size_t extension = LogFilePath.rfind(".log");
  if (extension == std::string::npos) return;
  const std::string older = LogFilePath.substr(0, extension) + ".old.log";  // "ZKVPlugin.old.log"
  MoveFileExA(LogFilePath.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING);  // a failure keeps appending
}

// The session's file: the size is read through the handle just opened, which costs no second look
// up of the path; a log over the bound is closed, renamed and begun anew.
UniqueFile OpenSessionLog() {
  UniqueFile file = OpenLog();
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size) || uint64_t(size.QuadPart) <= kLogRotateBytes) return file;
  file.Reset();  // an open handle would follow the renamed file
  RenameToOlderLog();
  return OpenLog();
}

// The session's file, opened at its first entry.
const UniqueFile& SessionLog() {
  if (!SessionFile) SessionFile = OpenSessionLog();
  return SessionFile;
}

void WriteEntry(const char* entry, size_t length) {
  UniqueFile ownFile;  // outside a session each entry opens the file for itself
  if (SessionDepth == 0) ownFile = OpenLog();
  const UniqueFile& file = SessionDepth == 0 ? ownFile : SessionLog();
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.Get(), entry, DWORD(length), &written, nullptr);
}

// Every "\n" of text becomes CR LF, as text mode would have written it; into holds 2 * length.
size_t WithWindowsLineEnds(const char* text, size_t length, char* into) {
  size_t at = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == '\n') into[at++] = '\r';
    into[at++] = text[i];
  }
  return at;
}

// An entry longer than the stack's buffers: formatted again into the heap.
void WriteLongEntry(const char* format, va_list arguments, size_t length) {
  std::string formatted(length + 1, '\0');
  std::vsnprintf(&formatted[0], formatted.size(), format, arguments);
  std::string entry(2 * length, '\0');
  entry.resize(WithWindowsLineEnds(formatted.data(), length, &entry[0]));
  WriteEntry(entry.data(), entry.size());
}

// Entries are short: formatted on the stack, the heap only for one that does not fit.
void FormatAndWrite(const char* format, va_list arguments) {
  if (!DecideLogFilePath()) return;  // no folder: the entry is lost
  char formatted[512];
  va_list copy;
  va_copy(copy, arguments);
  const int length = std::vsnprintf(formatted, sizeof formatted, format, copy);
  va_end(copy);
  if (length <= 0) return;
  if (size_t(length) >= sizeof formatted) {
    WriteLongEntry(format, arguments, size_t(length));
    return;
  }
  char entry[2 * sizeof formatted];
  WriteEntry(entry, WithWindowsLineEnds(formatted, size_t(length), entry));
}

}  // namespace

std::string LogFilePath;
DocumentsFolderLookupProc DocumentsFolderLookup = ShellDocumentsFolder;

LogSession::LogSession() noexcept { ++SessionDepth; }

LogSession::~LogSession() {
  if (--SessionDepth == 0) SessionFile.Reset();
}

void LogAppend(const char* format, ...) noexcept {
  va_list arguments;
  va_start(arguments, format);
  try {
    FormatAndWrite(format, arguments);
  } catch (...) {
    // No memory for a path or a long entry's text: the entry is lost, and nothing else.
  }
  va_end(arguments);
}
