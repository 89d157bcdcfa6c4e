// Points one of this test program's imports from a system DLL at a function of the test's, for the
// object's life: the test then runs at the very moment the code under test makes that call, on its
// thread, before the call has any effect. The code under test is linked into the program and calls
// through the program's import table, so nothing in it changes.
#pragma once

#include <windows.h>

class ImportReplacement {
 public:
  // dll as the import table names it ("kernel32.dll", any case); function by its exported name.
  ImportReplacement(const char* dll, const char* function, void* replacement);
  ~ImportReplacement();  // the import points at the system's function again
  ImportReplacement(const ImportReplacement&) = delete;
  ImportReplacement& operator=(const ImportReplacement&) = delete;

  // False when the program imports no such function (the calls then go where they went before).
  bool Installed() const { return slot_ != nullptr; }
  // What the import pointed at before: the replacement calls it to do what the call does.
  void* Original() const { return original_; }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};
