#include "RawOpenEvent.h"

#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostPaths.h"

namespace ZentrastMisc {
namespace AutomationUtils {

int32_t FillRawOpenEvent(const std::string& windowsPath, int32_t depth, PIActionDescriptor event,
                         PIActionDescriptor rawOptions, HostHandleHolder& alias) {
  DescriptorTypeID rawConverter = 0;
  HostCallChain chain;
  chain.Then([&] { return MakePathAlias(windowsPath, alias); })
      .Then([&] { return sPSActionDescriptor->PutAlias(event, keyNull, alias.Get()); })
      .Then([&] {
        return sPSActionDescriptor->PutEnumerated(rawOptions, keyBitDepth, keyBitDepth,
                                                  depth == 16 ? enumBitDepth16 : enumBitDepth8);
      })
      .Then([&] { return sPSActionControl->StringIDToTypeID(kRawConverterStringId, &rawConverter); })
      .Then([&] { return sPSActionDescriptor->PutObject(event, keyAs, rawConverter, rawOptions); });
  return chain.Status();
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
