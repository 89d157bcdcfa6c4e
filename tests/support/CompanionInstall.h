// The places where the module looks for the companion, set up and cleaned up by a test: the
// registry value that remembers its folder and the default folder. Tests that use them share
// one ctest resource lock, since the prefix's registry and drive are shared.
#pragma once

#include <windows.h>

#include <string>

constexpr char kTestRegistryKey[] = "Software\\Varnholt\\ZentrastTavri";
constexpr wchar_t kTestDefaultFolder[] = L"C:\\Program Files\\ZentrastKolvane4";

class CompanionInstall {
 public:
  CompanionInstall();   // starts from nothing: no key, no default folder
  ~CompanionInstall();  // and leaves nothing behind
  CompanionInstall(const CompanionInstall&) = delete;
  CompanionInstall& operator=(const CompanionInstall&) = delete;

  void CreateKey();
  void SetPath(const std::string& bytes, DWORD type = REG_SZ);  // creates the key; bytes as stored
  bool ReadPath(std::string* bytes) const;                      // the raw bytes of "Path"
  bool KeyExists() const;

  // A folder under the test's scratch folder with an executable of the companion's name in it;
  // with a source, that program is copied there.
  std::wstring MakeFolder(const std::wstring& name, const std::wstring& source = L"");
  void InstallInDefaultFolder(const std::wstring& source = L"");
  std::wstring Scratch() const { return scratch; }

 private:
  void RemoveAll();
  std::wstring scratch;
};

// A path as UTF-8 bytes, the way the module stores it.
std::string Utf8(const std::wstring& text);
