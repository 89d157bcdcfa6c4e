#include "HostPaths.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "DescriptorHelpers.h"
#include "HostText.h"
#include "InnerText.h"
#include "LongestPath.h"
#include "SameFile.h"

namespace {

// The old 8-bit form is read into a buffer of this size; a longer path is left unread, not cut.
constexpr int32_t kPathBufferBytes = 1024;

}  // namespace

int32_t MakePathAlias(const std::string& path, HostHandleHolder& alias) {
  alias.Reset();
  if (const PSAliasSuite2* aliases = sPSAlias.Find()) {
    std::u16string units;
    if (!InnerTextToUnitsStrict(path, &units) || units.find(u'\0') != std::u16string::npos) return kPathNotText;
    AliasHandle made = nullptr;
    const int32_t status = aliases->UnicodePathToAlias(reinterpret_cast<const uint16_t*>(units.c_str()), &made);
    alias.Reset(made);
    if (status == 0 && !alias) return kSPOutOfMemoryError;  // never hand the host a null alias
    if (status != 0) alias.Reset();
    return status;
  }
  std::string ansi;
  if (path.find('\0') != std::string::npos) return kPathNotText;
  if (!InnerTextToAnsiText(path, &ansi)) return kPathNotCarried;
  Handle made = nullptr;
  FullPathToAlias(ansi.c_str(), made);
  alias.Reset(made);
  return alias ? 0 : kSPOutOfMemoryError;
}

int32_t AliasUnicodePath(Handle alias, std::u16string* path) {
  path->clear();
  const PSAliasSuite2* aliases = sPSAlias.Find();
  if (aliases == nullptr) return kSPSuiteNotFoundError;
  std::vector<uint16_t> units(kLongestPathUnits, 0);
  const int32_t status = aliases->AliasToUnicodePath(alias, units.data(), kLongestPathUnits);
  if (status != 0) return status;
  const auto end = std::find(units.begin(), units.end(), uint16_t(0));
  if (end == units.end()) return kPathNotTerminated;
  path->assign(units.begin(), end);
  return 0;
}

bool AliasFilePath(Handle alias, std::string* path) {
  path->clear();
  if (alias == nullptr) return false;
  if (const PSAliasSuite2* aliases = sPSAlias.Find()) {
    SPBoolean cloud = 0;
    if (aliases->IsCloudFile(alias, &cloud) != 0 || cloud != 0) return false;
    std::u16string units;
    if (AliasUnicodePath(alias, &units) != 0 || units.empty()) return false;
    *path = UnitsToInnerText(units.data(), units.size());
    return true;
  }
  char text[kPathBufferBytes] = {};
  PIUAliasToPath(alias, text, kPathBufferBytes);
  // No file name holds a '?': there the system put it for a character the code page lacks, and
  // the text names another file. Only the extended-length prefix "\\?\" has one.
  const std::string ansi(text);
  if (ansi.find('?', ansi.rfind("\\\\?\\", 0) == 0 ? 4 : 0) != std::string::npos) return false;
  *path = AnsiTextToInnerText(ansi);
  if (!path->empty() && PathExists(*path)) return true;
  path->clear();
  return false;
}
