// Opening a raw camera file as a host document through the host's raw converter, and the record of
// which raw files the bridge opened. Main thread only, like every host call.
#pragma once

#include <map>
#include <string>

#include "HostPaths.h"
#include "HostTypes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// Raw file path ('/' replaced by '\') → true when its open left the number of open documents
// unchanged (the file was open already), false when the open added a document. Paths are found
// as Windows finds files: "C:\Fotos\a.CR2" and "c:/fotos/A.cr2" are one entry. Kept across bridge
// runs until the module is unloaded; an entry is written once and never overwritten.
using LoadedRawFileMap = std::map<std::string, bool, WindowsPathOrder>;
extern LoadedRawFileMap LoadedRawFiles;

// What became of a LoadRAW beyond its status, for the one who tells the companion.
struct RawLoadReport {
  bool pathNotCarried = false;  // the path cannot be handed to the host as it is: nothing was played
  bool notOpened = false;       // the open answered success, yet the requested file is not the active document
  bool measured = false;        // the file's document is active and width and height hold its size
};

// Fills the open event LoadRAW plays: 'null' an alias of the file (made into alias, which must live
// until the play is over), 'As  ' the raw converter's settings (rawOptions, filled here) asking for
// depth (16, or 8 for anything else). 0, the host's status, or kPathNotCarried.
int32_t FillRawOpenEvent(const std::string& windowsPath, int32_t depth, PIActionDescriptor event,
                         PIActionDescriptor rawOptions, HostHandleHolder& alias);

// Opens path through the raw converter at depth (16, or 8 for anything else) and measures the
// document it leaves active, once that document's file is the requested one. 0, or the low 16
// bits of the first failing step's status; width and height are written once the size and
// resolution were read (the count of documents read after that may still fail the operation).
OSErr LoadRAW(const std::string& path, int32_t depth, int32_t& width, int32_t& height,
              RawLoadReport* report = nullptr);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
