#include "FolderSpelling.h"

#include <windows.h>

#include "WindowsOwners.h"

namespace {

// Wine's own export: the Unix path of an existing Windows path (null for one that is not there),
// allocated on the process heap. Missing on Windows.
using UnixPathFunction = char*(CDECL*)(const wchar_t*);

UnixPathFunction WineUnixPaths() {
  return reinterpret_cast<UnixPathFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::string UnixPath(UnixPathFunction toUnix, const std::wstring& path) {
  char* unixPath = toUnix(path.c_str());
  if (!unixPath) return std::string();
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  if (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size())));
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  std::string narrow(wide.size() * 3, '\0');
  narrow.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &narrow[0], int(narrow.size()),
                                    nullptr, nullptr));
  return narrow;
}

// Runs a program to its end (30 s at most). Under Wine a Unix program is started through a helper
// whose end and exit code say nothing about the program's: callers wait for what it does instead.
bool RunToEnd(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  const UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
  return WaitForSingleObject(processHandle.Get(), 30000) == WAIT_OBJECT_0;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Waits until path leads to a folder, 10 s at most.
bool AwaitFolder(const std::wstring& path) {
  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (!IsFolder(path)) {
    if (GetTickCount64() > deadline) return false;
    Sleep(50);
  }
  return true;
}

// A drive letter not in use, from M on (A to L are commonly taken by disks and media).
wchar_t FreeDriveLetter() {
  const DWORD used = GetLogicalDrives();
  for (wchar_t letter = L'M'; letter <= L'Y'; ++letter) {
    if (!(used & (1u << (letter - L'A')))) return letter;
  }
  return 0;
}

}  // namespace

FolderSpelling::FolderSpelling(SpellingKind kind, const std::wstring& folder, const std::wstring& link)
    : kind_(kind), folder_(folder) {
  if (!IsFolder(folder)) {
    error_ = "the folder " + Narrow(folder) + " is not there";
    return;
  }
  if (kind == SpellingKind::Drive) {
    MakeDrive();
  } else {
    MakeLink(link);
  }
  if (!path_.empty() && !AwaitFolder(path_ + L"\\")) {
    error_ = "the folder could not be reached as " + Narrow(path_) + " within 10 s";
    path_.clear();
  }
}

void FolderSpelling::MakeDrive() {
  const wchar_t letter = FreeDriveLetter();
  if (!letter) {
    error_ = "no drive letter is free";
    return;
  }
  const std::wstring drive = std::wstring(1, letter) + L":";
  const UnixPathFunction toUnix = WineUnixPaths();
  if (!toUnix) {
    if (!DefineDosDeviceW(0, drive.c_str(), folder_.c_str())) {
      error_ = "DefineDosDevice failed with " + std::to_string(GetLastError());
      return;
    }
    path_ = drive;
    return;
  }
  // "...\dosdevices\c:" is where C: leads; the new letter goes beside it.
  const std::string driveC = UnixPath(toUnix, L"C:\\");
  const std::string target = UnixPath(toUnix, folder_);
  if (driveC.empty() || target.empty()) {
    error_ = "Wine gives no Unix path of C: or of the folder";
    return;
  }
  unixLink_ = driveC.substr(0, driveC.find_last_of('/') + 1) + char(letter - L'A' + 'a') + ":";
  RunToEnd(L"/bin/ln -s \"" + Wide(target) + L"\" \"" + Wide(unixLink_) + L"\"");
  path_ = drive;
}

void FolderSpelling::MakeLink(const std::wstring& link) {
  const UnixPathFunction toUnix = WineUnixPaths();
  if (!toUnix) {
    RunToEnd(L"cmd.exe /c mklink /J \"" + link + L"\" \"" + folder_ + L"\"");
    path_ = link;
    return;
  }
  const size_t slash = link.find_last_of(L'\\');
  const std::string parent = UnixPath(toUnix, link.substr(0, slash) + L"\\");
  const std::string target = UnixPath(toUnix, folder_);
  if (parent.empty() || target.empty()) {
    error_ = "Wine gives no Unix path of the link's parent or of the folder";
    return;
  }
  unixLink_ = parent + "/" + Narrow(link.substr(slash + 1));
  RunToEnd(L"/bin/ln -s \"" + Wide(target) + L"\" \"" + Wide(unixLink_) + L"\"");
  path_ = link;
}

FolderSpelling::~FolderSpelling() {
  if (!unixLink_.empty()) {
    RunToEnd(L"/bin/rm -f \"" + Wide(unixLink_) + L"\"");
    // Gone before the next test looks for a free drive letter or makes the same link.
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (!path_.empty() && IsFolder(path_ + L"\\") && GetTickCount64() < deadline) Sleep(50);
  } else if (path_.empty()) {
    return;
  } else if (kind_ == SpellingKind::Drive) {
    DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, path_.c_str(), folder_.c_str());
  } else {
    RemoveDirectoryW(path_.c_str());  // a junction goes as an empty folder does; its target stays
  }
}
