#include "PluginLog.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "FullPath.h"
#include "InnerText.h"
#include "WindowsOwners.h"

namespace {

// Through the wide calls: a folder named with a character the ANSI code page lacks (a Polish name
// on a Western European system) would come back from the 8-bit call with '?' or a look-alike in
// its place, a folder that is not there.
bool ShellDocumentsFolder(std::string* folder) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)) || path[0] == 0) {
    return false;
  }
  *folder = WideToInnerText(path);
  return true;
}

bool TempFolder(std::string* folder) {
  const DWORD needed = GetEnvironmentVariableW(L"TEMP", nullptr, 0);
  if (needed == 0) return false;
  std::vector<wchar_t> value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(L"TEMP", value.data(), needed);
  if (length == 0 || length >= needed) return false;
  *folder = WideToInnerText(std::wstring(value.data(), length));
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
  if (!ShellDocumentsFolder(&folder) && !TempFolder(&folder)) return false;
  LogFilePath = folder + "\\ZKVPlugin.log";
  return true;
}

// Appending only, so that each write lands whole at the end even with other writers; shared so
// that readers, writers and deleters are never shut out. Its size can be read through the handle.
UniqueFile OpenLog() {
  return UniqueFile(CreateFileW(InnerTextToWide(LogFilePath).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool OverTheBound(HANDLE file) {
  LARGE_INTEGER size{};
  return GetFileSizeEx(file, &size) && uint64_t(size.QuadPart) > kLogRotateBytes;
}

// The file system's own name of a path, for a rename by handle: "\??\" and the full path.
std::wstring NtPath(const std::wstring& path) {
  const std::wstring resolved = FullPath(path);
  if (resolved.empty()) return resolved;
  if (resolved.rfind(L"\\\\?\\", 0) == 0) return L"\\??\\" + resolved.substr(4);
  if (resolved.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + resolved.substr(2);
  return L"\\??\\" + resolved;
}

// Renames the log to "ZKVPlugin.old.log" (replacing an older one) when it is over the bound. The
// file renamed is the very one measured, through its own handle: another host process may have
// rotated the log a moment ago, and a rename by name would then put its fresh log over the old
// one, and every entry of the old one would be lost. A failure keeps appending to the log.
void RotateIfOverTheBound() {
  const size_t extension = LogFilePath.rfind(".log");
  if (extension == std::string::npos) return;
  // A handle that may rename is asked for only here: a reader that does not share deleting would
  // shut it out, and every entry with it.
  const UniqueFile measured(CreateFileW(InnerTextToWide(LogFilePath).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!measured || !OverTheBound(measured.Get())) return;
  const std::wstring older = NtPath(InnerTextToWide(LogFilePath.substr(0, extension) + ".old.log"));  // "ZKVPlugin.old.log"
  if (older.empty()) return;
  std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + older.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = DWORD(older.size() * sizeof(wchar_t));
  std::copy(older.begin(), older.end(), rename->FileName);
  SetFileInformationByHandle(measured.Get(), FileRenameInfo, rename, DWORD(buffer.size()));
}

// The session's file: the size is read through the handle just opened, which costs no second look
// up of the path; a log over the bound is renamed and begun anew.
UniqueFile OpenSessionLog() {
  UniqueFile file = OpenLog();
  if (!file || !OverTheBound(file.Get())) return file;
  file.Reset();  // an open handle would follow the renamed file
  RotateIfOverTheBound();
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
