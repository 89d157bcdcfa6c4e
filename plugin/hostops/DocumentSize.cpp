#include "DocumentSize.h"

#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "PixelUnits.h"
#include "PluginLog.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

void LogWholeNumberSizeReads(PIActionDescriptor document) {
  int32_t ignored = 0;
  if (const OSErr status = sPSActionDescriptor->GetInteger(document, keyWidth, &ignored)) {
    LogAppend("LoadRAW: error keyWidth1:%d\n", int32_t(status));
  }
  if (const OSErr status = sPSActionDescriptor->GetInteger(document, keyHeight, &ignored)) {
    LogAppend("LoadRAW: error keyHeight1:%d\n", int32_t(status));
  }
}

}  // namespace

bool DocumentSize::WholePixels(int32_t* pixelWidth, int32_t* pixelHeight) const {
  return UnitValueToWholePixels(width, unit, resolution, pixelWidth) &&
         UnitValueToWholePixels(height, unit, resolution, pixelHeight);
}

int32_t ReadDocumentSize(PIActionDescriptor document, DocumentSize* size) {
  LogWholeNumberSizeReads(document);
  HostCallChain chain;
  chain.Then([&] { return sPSActionDescriptor->GetUnitFloat(document, keyWidth, &size->unit, &size->width); },
             "LoadRAW: error keyWidth2:%d\n")
      .Then([&] { return sPSActionDescriptor->GetUnitFloat(document, keyHeight, &size->unit, &size->height); },
            "LoadRAW: error keyHeight2:%d\n")
      .Log("LoadRAW: before getting resolution\n")
      .Then([&] { return sPSActionDescriptor->GetFloat(document, keyResolution, &size->resolution); },
            "LoadRAW: error keyResolution:%d\n");
  return chain.Status();
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
