// Opening a raw camera file as a host document through the host's raw converter, and the record of
// which raw files the bridge opened. Main thread only, like every host call.
#pragma once

#include <map>
#include <string>

#include "HostTypes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// Raw file path ('/' replaced by '\') → true when its open left the number of open documents
// unchanged (the file was open already), false when the open added a document. Kept across bridge
// runs until the module is unloaded; an entry is written once and never overwritten.
extern std::map<std::string, bool> LoadedRawFiles;

// Opens path through the raw converter at depth (16, or 8 for anything else) and measures the
// target document it leaves. 0, or the low 16 bits of the first failing step's status; width and
// height are written once the size and resolution were read, and *measured (when given) then says
// so: the count of documents read after that may still fail the operation.
OSErr LoadRAW(const std::string& path, int32_t depth, int32_t& width, int32_t& height, bool* measured = nullptr);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
