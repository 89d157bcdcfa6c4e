// Opening a raw camera file as a host document through the host's raw converter, for the
// companion, and recording what the open did in the bridge's raw file records. Main thread only,
// like every host call.
#pragma once

#include <string>

#include "HostTypes.h"
#include "RawFileRecords.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// What became of a LoadRAW beyond its 16-bit status, for the one who tells the companion.
struct RawLoadReport {
  // The first failing step's status, whole: the host's, or one of the module's own refusals
  // (ModuleStatus.h), which no host status equals.
  int32_t status = 0;
  std::string openMessage;  // the message ('Msge') the open's result carried, if it carried one
  bool measured = false;    // the file's document is active and width and height hold its size
};

// Opens path through the raw converter at depth (16, or 8 for anything else) and measures the
// document it leaves active, once that document's file is the requested one; records in records
// whether the file was open already and the document the open added. 0, or the low 16 bits of the
// first failing step's status; width and height are written once the size and resolution were
// read (the count of documents read after that may still fail the operation).
OSErr LoadRAW(RawFileRecords& records, const std::string& path, int32_t depth, int32_t& width, int32_t& height,
              RawLoadReport* report = nullptr);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
