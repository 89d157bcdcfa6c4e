// Whether two paths name the same file. Windows reaches one file by many names: letter case, '/'
// for '\', "." and ".." and doubled separators, a trailing dot or blank, the extended-length prefix
// "\\?\", a short (8.3) name, a second drive letter onto the same folder (subst, a mapped network
// drive), a junction or a symbolic link; and a host may name a file it opened by any of them. So
// files are compared as files: by the volume's serial number and the file's ID, read through a
// handle that asks for no access at all (any file or folder that exists opens so, whoever else has
// it open). Only where either of the two cannot be opened (a file gone, a drive not there, no
// right to look into its folder) are they compared by spelling, as Windows resolves a path: its
// full form (GetFullPathNameW), ordinal, letter case aside.
//
// Every decision of the module whether a path names a file it knows goes through here: the active
// document after a raw open, LoadedRawFiles and RawFileMetadata.
#pragma once

#include <cstdint>
#include <string>

// The spelling rule alone, for paths whose files cannot be opened: the same full path, letter
// case aside ("C:\Fotos\a.CR2", "c:/fotos/./A.cr2 " and "\\?\C:\Fotos\a.CR2" are one).
bool SameWindowsPath(const std::string& a, const std::string& b);
// Orders paths by the same rule, so that a map keyed by paths holds one entry per spelling.
struct WindowsPathOrder {
  bool operator()(const std::string& a, const std::string& b) const;
};

// Whether something exists at path (a path of any length).
bool PathExists(const std::string& path);

// One file, read once, to compare others with: by identity where both open, else by spelling.
class FileToCompare {
 public:
  explicit FileToCompare(const std::string& path);
  bool IsSameFileAs(const std::string& other) const;

  struct Identity {
    bool byId = false;  // FileIdInfo read: the 64-bit volume serial number and 128-bit file ID
    uint64_t volume = 0;
    uint8_t id[16] = {};
    bool byIndex = false;  // the older form: the 32-bit serial number and 64-bit file index
    uint32_t volume32 = 0;
    uint64_t index = 0;
  };

 private:
  std::string path_;
  Identity identity_;
  bool opened_ = false;
};

bool SameFile(const std::string& a, const std::string& b);

// The entry of a map keyed by paths whose key names the same file as path, or the map's end.
template <class PathMap>
auto FindSameFile(PathMap& map, const std::string& path) -> decltype(map.begin()) {
  const auto spelled = map.find(path);
  const FileToCompare file(path);
  // The spelling's own entry first (the common case), yet only when it is the same file.
  if (spelled != map.end() && file.IsSameFileAs(spelled->first)) return spelled;
  for (auto entry = map.begin(); entry != map.end(); ++entry) {
    if (entry != spelled && file.IsSameFileAs(entry->first)) return entry;
  }
  return map.end();
}
