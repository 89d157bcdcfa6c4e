// Opening a raw camera file as a host document through the host's raw converter, and the record of
// which raw files the bridge opened. Main thread only, like every host call.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "HostPaths.h"
#include "HostTypes.h"
#include "SameFile.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// Raw file path ('/' replaced by '\') → true when its open left the number of open documents
// unchanged (the file was open already), false when the open added a document. A file is found
// by what it is, however it is named (SameFile.h): "C:\Fotos\a.CR2", "c:/fotos/A.cr2" and its
// short name are one entry. Kept across bridge runs until the module is unloaded; an entry is
// written once and never overwritten.
using LoadedRawFileMap = std::map<std::string, bool, WindowsPathOrder>;
extern LoadedRawFileMap LoadedRawFiles;

// A document one of the bridge's own raw opens added: its identifier ('DocI'), which the host
// never gives another document, and the LoadedRawFiles key of its file. The bridge closes these
// and no others: a document of the person's is never taken for one of them, whatever the host's
// order of documents or its spelling of their files.
struct OpenedRawDocument {
  uint32_t id;
  std::string file;
};
// The documents the bridge's raw opens added and that it has not closed yet, oldest first.
const std::vector<OpenedRawDocument>& OpenedRawDocuments();
// Forgets the document (closed, or gone); its file's entry goes too once no document of it is left.
void ForgetOpenedRawDocument(uint32_t id);

// What became of a LoadRAW beyond its 16-bit status, for the one who tells the companion.
struct RawLoadReport {
  // The first failing step's status, whole: the host's, or one of the module's own refusals
  // (ModuleStatus.h), which no host status equals.
  int32_t status = 0;
  std::string openMessage;  // the message ('Msge') the open's result carried, if it carried one
  bool measured = false;    // the file's document is active and width and height hold its size
};

// Fills the open event LoadRAW plays: 'null' an alias of the file (made into alias, which must live
// until the play is over), 'As  ' the raw converter's settings (rawOptions, filled here) asking for
// depth (16, or 8 for anything else). 0, the host's status, or kPathNotText or kPathNotCarried.
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
