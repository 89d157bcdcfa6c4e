#include <cmath>

#include "AutomationUtils.h"
#include "DescriptorHelpers.h"
#include "HostCodes.h"
#include "HostObjectHolders.h"
#include "PluginLog.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

constexpr size_t kTextBufferBytes = 1024;

int32_t DocumentCount(int32_t* count) {
  *count = 0;
  return PIUGetTargetInfo(classApplication, keyNumberOfDocuments, count, nullptr);
}

int32_t ToPixels(double value, DescriptorUnitID unit, double resolution) {
  return int32_t(UnitValueToPixels(value, unit, resolution) + 0.5);
}

// Reads document index into the list; the status of the read that left it out, else 0.
int32_t ReadDocument(uint32_t index, std::vector<DocumentInfo>& list) {
  LogAppend("GetOpenDocuments: PIUGetInfoByIndex()\n");
  DescriptorHolder document(false);
  int32_t status = PIUGetInfoByIndex(index, classDocument, 0, document.Address(), nullptr);
  if (status != 0) return status;
  const PSActionDescriptorProcs& descriptors = *sPSActionDescriptor;

  LogAppend("GetOpenDocuments: sPSActionDescriptor->GetAlias()\n");
  HostHandleHolder alias;
  status = descriptors.GetAlias(document.Get(), keyFileReference, alias.Address());
  if (status != 0) return status;  // never saved: no file
  char path[kTextBufferBytes];
  PIUAliasToPath(alias.Get(), path, int32_t(sizeof path));

  LogAppend("GetOpenDocuments: PSActionDescriptor->GetString()\n");
  char title[kTextBufferBytes] = {};
  const int32_t titleStatus = descriptors.GetString(document.Get(), keyTitle, title, uint32_t(sizeof title));
  LogAppend("GetOpenDocuments: sPSHandle->Dispose()\n");
  alias.Dispose();
  if (titleStatus != 0) return titleStatus;

  int32_t depth = 0, integerWidth = 0, integerHeight = 0;
  status = descriptors.GetInteger(document.Get(), keyDepth, &depth);
  if (status != 0) return status;
  status = descriptors.GetInteger(document.Get(), keyWidth, &integerWidth);
  if (status != 0) {
    LogAppend("LoadRAW: error keyWidth1:%d\n", status);
    return status;
  }
  status = descriptors.GetInteger(document.Get(), keyHeight, &integerHeight);
  if (status != 0) {
    LogAppend("LoadRAW: error keyHeight1:%d\n", status);
    return status;
  }
  DescriptorUnitID unit = 0;
  double width = 0, height = 0, resolution = 0;
  status = descriptors.GetUnitFloat(document.Get(), keyWidth, &unit, &width);
  if (status != 0) {
    LogAppend("LoadRAW: error keyWidth2:%d\n", status);
    return status;
  }
  status = descriptors.GetUnitFloat(document.Get(), keyHeight, &unit, &height);  // its unit serves both
  if (status != 0) {
    LogAppend("LoadRAW: error keyHeight2:%d\n", status);
    return status;
  }
  LogAppend("LoadRAW: before getting resolution\n");
  status = descriptors.GetFloat(document.Get(), keyResolution, &resolution);
  if (status != 0) {
    LogAppend("LoadRAW: error keyResolution:%d\n", status);
    return status;
  }
  LogAppend("GetOpenDocuments: sPSActionDescriptor->Free()\n");
  document.Free();

  // A document without a title, or whose path is empty or did not fit, cannot be named to the
  // companion: it is left out rather than sent with an empty or cut text.
  if (title[0] == 0 || path[0] == 0) return 0;
  list.emplace_back(title, path, ToPixels(width, unit, resolution), ToPixels(height, unit, resolution), depth);
  return 0;
}

}  // namespace

double UnitValueToPixels(double value, DescriptorUnitID unit, double resolution) {
  return unit == unitDistance ? value * resolution / 72.0 : value;
}

OSErr GetOpenDocuments(std::vector<DocumentInfo>& list) {
  LogAppend("In AutomationUtils::GetOpenDocuments()\n");
  int32_t count = 0;
  int32_t status = DocumentCount(&count);
  if (status == 0) {
    LogAppend("About to get documents info\n");
    for (int32_t index = 1; index <= count; ++index) status = ReadDocument(uint32_t(index), list);
  }
  LogAppend("Left AutomationUtils::GetOpenDocuments()\n");
  return OSErr(status);  // the low 16 bits, as every host status
}

bool AllDocumentsSaved() {
  LogAppend("In AutomationUtils::AllDocumentsSaved()\n");
  int32_t count = 0;
  if (DocumentCount(&count) != 0) return false;
  for (int32_t index = 1; index <= count; ++index) {
    LogAppend("In AllDocumentsSaved: PIUGetInfoByIndex()\n");
    DescriptorHolder document(false);
    if (PIUGetInfoByIndex(uint32_t(index), classDocument, 0, document.Address(), nullptr) != 0) break;
    LogAppend("In AllDocumentsSaved: sPSActionDescriptor->GetBoolean()\n");
    Boolean dirty = false;
    if (sPSActionDescriptor->GetBoolean(document.Get(), keyIsDirty, &dirty) != 0) break;
    if (dirty) return false;
    LogAppend("In AllDocumentsSaved: sPSActionDescriptor->Free()\n");
    document.Free();
  }
  LogAppend("Left AutomationUtils::AllDocumentsSaved()\n");
  return true;
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
