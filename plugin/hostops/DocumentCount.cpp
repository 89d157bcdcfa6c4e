#include "DocumentCount.h"

#include "DescriptorHelpers.h"
#include "HostCodes.h"

namespace ZentrastMisc {
namespace AutomationUtils {

int32_t OpenDocumentCount(int32_t* count) {
  *count = 0;
  return PIUGetTargetInfo(classApplication, keyNumberOfDocuments, count, nullptr);
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
