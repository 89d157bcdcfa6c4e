// The plug-in log: the host document operations append one entry per step to "ZKVPlugin.log" in
// the user's Documents folder (the TEMP folder when the shell cannot say where that is).
#pragma once

#include <string>

// printf-style; each entry is one open, write and close in text mode. Failures lose the entry.
void LogAppend(const char* format, ...);

// Worked out on the first entry of the module's life and kept: the folder is decided once.
extern std::string LogFilePath;

// How the Documents folder is found; tests replace it to make the lookup fail.
using DocumentsFolderLookupProc = bool (*)(std::string* folder);
extern DocumentsFolderLookupProc DocumentsFolderLookup;
