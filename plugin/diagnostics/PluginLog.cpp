#include "PluginLog.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

bool ShellDocumentsFolder(std::string* folder) {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, FALSE)) return false;
  *folder = path;
  return true;
}

}  // namespace

std::string LogFilePath;
DocumentsFolderLookupProc DocumentsFolderLookup = ShellDocumentsFolder;

void LogAppend(const char* format, ...) {
  if (LogFilePath.empty()) {
    std::string folder;
    if (!DocumentsFolderLookup(&folder)) {
      const char* temp = std::getenv("TEMP");
      if (temp == nullptr) return;  // no folder to log into: the entry is lost
      folder = temp;
    }
    LogFilePath = folder + "\\ZKVPlugin.log";
  }
  FILE* file = std::fopen(LogFilePath.c_str(), "a");
  if (file == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(file, format, arguments);
  va_end(arguments);
  std::fclose(file);
}
