#include "SameFile.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "FullPath.h"
#include "InnerText.h"
#include "WindowsOwners.h"

namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";

// FileIdInfo and its record (FILE_ID_INFO) are the system's from Windows 8 on; the module is built
// for Windows 7 and asks for them at run time, where older systems answer that they have none.
constexpr FILE_INFO_BY_HANDLE_CLASS kFileIdInfo = FILE_INFO_BY_HANDLE_CLASS(18);
struct FileIdRecord {
  ULONGLONG volumeSerialNumber;
  BYTE fileId[16];
};

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

// The path in the form Windows opens it by whatever its length: "\\?\" and its full path, as
// GetFullPathNameW resolves it ('/' as '\', "." and "..", doubled separators, a trailing dot or
// blank). A path that has the prefix already is taken as it is: the system resolves nothing in
// it. Empty when the path is no text the system can take.
std::wstring ExtendedLengthPath(const std::string& path) {
  std::u16string units;
  if (path.empty() || !InnerTextToUnitsStrict(path, &units) || units.find(u'\0') != std::u16string::npos ||
      units.size() >= size_t(INT_MAX)) {
    return std::wstring();
  }
  const std::wstring wide(units.begin(), units.end());
  if (StartsWith(wide, kExtendedPrefix)) return wide;
  const std::wstring resolved = FullPath(wide);
  if (resolved.empty() || StartsWith(resolved, L"\\\\.\\")) return resolved;  // nothing, or a device
  if (StartsWith(resolved, L"\\\\")) return kExtendedUncPrefix + resolved.substr(2);
  return kExtendedPrefix + resolved;
}

// The form two spellings are compared in: the resolved path, or for a path the system cannot
// resolve, the path as it is with '/' as '\'.
std::wstring ComparableSpelling(const std::string& path) {
  std::wstring form = ExtendedLengthPath(path);
  if (!form.empty()) return form;
  const std::u16string units = InnerTextToUnits(path);
  form.assign(units.begin(), units.end());
  std::replace(form.begin(), form.end(), L'/', L'\\');
  return form;
}

int CompareSpellings(const std::string& a, const std::string& b) {
  const std::wstring left = ComparableSpelling(a), right = ComparableSpelling(b);
  if (left.size() > size_t(INT_MAX) || right.size() > size_t(INT_MAX)) return left.compare(right);
  // Ordinal, by the system's upper-case table: how the file system itself tells names apart, not a
  // language's rules.
  return CompareStringOrdinal(left.data(), int(left.size()), right.data(), int(right.size()), TRUE) - CSTR_EQUAL;
}

// The file's identity, through a handle that asks for no access: any file or folder that exists
// opens so, also one another program holds without sharing.
bool ReadIdentity(const std::string& path, FileToCompare::Identity* identity) {
  const std::wstring extended = ExtendedLengthPath(path);
  if (extended.empty()) return false;
  const UniqueFile file(CreateFileW(extended.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return false;
  // Both forms where the system has them: a file system whose IDs need all 128 bits (ReFS) has
  // only the first; a system older than Windows 8 only the second.
  FileIdRecord byId = {};
  if (GetFileInformationByHandleEx(file.Get(), kFileIdInfo, &byId, sizeof byId)) {
    identity->byId = true;
    identity->volume = byId.volumeSerialNumber;
    std::memcpy(identity->id, byId.fileId, sizeof identity->id);
  }
  BY_HANDLE_FILE_INFORMATION byIndex = {};
  if (GetFileInformationByHandle(file.Get(), &byIndex)) {
    identity->byIndex = true;
    identity->volume32 = byIndex.dwVolumeSerialNumber;
    identity->index = (uint64_t(byIndex.nFileIndexHigh) << 32) | byIndex.nFileIndexLow;
  }
  return identity->byId || identity->byIndex;
}

// Whether two identities can be compared, and then whether they are one file: in a form both have.
bool Comparable(const FileToCompare::Identity& a, const FileToCompare::Identity& b, bool* same) {
  if (a.byId && b.byId) {
    *same = a.volume == b.volume && std::memcmp(a.id, b.id, sizeof a.id) == 0;
    return true;
  }
  if (a.byIndex && b.byIndex) {
    *same = a.volume32 == b.volume32 && a.index == b.index;
    return true;
  }
  return false;
}

}  // namespace

bool PathExists(const std::string& path) {
  const std::wstring extended = ExtendedLengthPath(path);
  return !extended.empty() && GetFileAttributesW(extended.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameWindowsPath(const std::string& a, const std::string& b) { return CompareSpellings(a, b) == 0; }

bool WindowsPathOrder::operator()(const std::string& a, const std::string& b) const {
  return CompareSpellings(a, b) < 0;
}

FileToCompare::FileToCompare(const std::string& path) : path_(path) { opened_ = ReadIdentity(path, &identity_); }

bool FileToCompare::IsSameFileAs(const std::string& other) const {
  Identity otherIdentity;
  bool same = false;
  if (opened_ && ReadIdentity(other, &otherIdentity) && Comparable(identity_, otherIdentity, &same)) return same;
  return SameWindowsPath(path_, other);
}

bool SameFile(const std::string& a, const std::string& b) { return FileToCompare(a).IsSameFileAs(b); }
