// A raw file's metadata as the export plug-in delivers it and the import plug-in takes it: bytes
// the bridge carries without reading them.
#pragma once

#include <cstdint>
#include <vector>

namespace ZentrastMisc {
namespace AutomationUtils {

using MetadataBytes = std::vector<uint8_t>;

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
