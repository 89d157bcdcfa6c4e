// Runs a program and waits until it and every process it started have ended. An uninstaller
// commonly hands its work to a copy of itself and returns at once, so waiting for the first
// process alone would check its work before it is done.
#pragma once

#include <windows.h>

#include <string>

struct ProcessTreeRun {
  bool started = false;
  bool ended = false;          // every process of the tree ended within the ceiling
  DWORD exitCode = 0xFFFFFFFF;  // of the first process
  DWORD startError = 0;
  std::string output;  // the first process's standard output and error (children's too, where they write)
  // False when a process outside the tree still held the output pipe open well after the tree had
  // ended: output then ends with a line that says so.
  bool outputComplete = true;
};

// commandLine as the system takes it (a quoted program path, then the arguments); the program
// starts in workingFolder, or in this program's working folder when it is empty.
ProcessTreeRun RunProcessTree(const std::wstring& commandLine, DWORD ceilingMs = 120000,
                              const std::wstring& workingFolder = std::wstring());
