#include "RawFileLoading.h"

#include <algorithm>

#include "DescriptorHelpers.h"
#include "DocumentQueries.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "PluginLog.h"

namespace ZentrastMisc {
namespace AutomationUtils {

LoadedRawFileMap LoadedRawFiles;

namespace {

constexpr int32_t kNoSize = -1;     // the host's size is no number of pixels
constexpr int32_t kNotOpened = -1;  // the open answered success but left another document active

// The number of open documents, or -1 when it cannot be read (the status goes to *status).
int32_t OpenDocumentCount(int32_t* status) {
  int32_t count = 0;
  *status = PIUGetTargetInfo(classApplication, keyNumberOfDocuments, &count, nullptr);
  return *status == 0 ? count : -1;
}

// Whether the document is the requested file's. An open that answers success may have opened
// nothing (a person cancelled the raw converter's dialog: no message, no document), and then the
// active document is whatever the person had active. The count of documents cannot tell that
// apart from a file that was open already and is now active again, and what an open's result
// holds for such a file is not known; the active document's own file is exactly what the export
// will read, so that is what is checked.
bool IsDocumentOf(PIActionDescriptor document, const std::string& path) {
  HostHandleHolder alias;
  std::string file;
  const bool found = sPSActionDescriptor->GetAlias(document, keyFileReference, alias.Address()) == 0 &&
                     AliasFilePath(alias.Get(), &file) && SameWindowsPath(file, path);
  if (!found) {
    LogAppend("LoadRAW: not opened, the active document's file: %s\n", file.empty() ? "(none)" : file.c_str());
  }
  return found;
}

}  // namespace

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

OSErr LoadRAW(const std::string& path, int32_t depth, int32_t& width, int32_t& height, RawLoadReport* report) {
  RawLoadReport outcome;
  DescriptorHolder document;
  ReferenceHolder target;
  DescriptorHolder rawOptions;
  DescriptorHolder event;
  DescriptorHolder result;
  HostHandleHolder alias;
  std::string windowsPath = path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  int32_t countStatus = 0, countBefore = -1, countAfter = -1;
  DescriptorUnitID unit = 0;
  double widthValue = 0, heightValue = 0, resolution = 0;

  HostCallChain chain;
  chain.Then([&] { return MakeReference(target); })
      .Then([&] { return MakeDescriptor(rawOptions); })
      .Then([&] { return MakeDescriptor(event); })
      .Do([&] {
        LogAppend("LoadRAW: filename=%s\n", path.c_str());
        countBefore = OpenDocumentCount(&countStatus);  // a failed count does not stop the open
        LogAppend("LoadRAW: num documents: %d\n", countBefore);
      })
      .Then([&] {
        const int32_t status = FillRawOpenEvent(windowsPath, depth, event.Get(), rawOptions.Get(), alias);
        outcome.pathNotCarried = status == kPathNotCarried;
        if (outcome.pathNotCarried) LogAppend("LoadRAW: the path cannot be handed to the host\n");
        return status;
      })
      .Log("LoadRAW: before play\n")
      .Then([&] { return sPSActionControl->Play(result.Address(), eventOpen, event.Get(), plugInDialogDontDisplay); })
      .Log("LoadRAW: before checkresult\n")
      .Then([&] { return CheckPlayResult(result.Get()); })
      .Then([&] { return sPSActionReference->PutEnumerated(target.Get(), classDocument, typeOrdinal, enumTarget); })
      .Log("LoadRAW: before getting width and height\n")
      .Then([&] { return sPSActionControl->Get(document.Address(), target.Get()); }, "LoadRAW: error aresult:%d\n")
      .Then([&] {
        outcome.notOpened = !IsDocumentOf(document.Get(), windowsPath);
        return outcome.notOpened ? kNotOpened : 0;
      })
      .Do([&] { LogWholeNumberSizeReads(document.Get()); })
      .Then([&] { return sPSActionDescriptor->GetUnitFloat(document.Get(), keyWidth, &unit, &widthValue); },
            "LoadRAW: error keyWidth2:%d\n")
      // The height's unit serves both.
      .Then([&] { return sPSActionDescriptor->GetUnitFloat(document.Get(), keyHeight, &unit, &heightValue); },
            "LoadRAW: error keyHeight2:%d\n")
      .Log("LoadRAW: before getting resolution\n")
      .Then([&] { return sPSActionDescriptor->GetFloat(document.Get(), keyResolution, &resolution); },
            "LoadRAW: error keyResolution:%d\n")
      .Then([&] {
        int32_t pixelWidth = 0, pixelHeight = 0;
        if (!UnitValueToWholePixels(widthValue, unit, resolution, &pixelWidth) ||
            !UnitValueToWholePixels(heightValue, unit, resolution, &pixelHeight)) {
          return kNoSize;
        }
        width = pixelWidth;
        height = pixelHeight;
        outcome.measured = true;
        return 0;
      }, "LoadRAW: error size:%d\n")
      .Do([&] {
        LogAppend("LoadRAW: before getting number of documents\n");
        const bool before = countStatus == 0;
        countAfter = OpenDocumentCount(&countStatus);
        if (countStatus != 0) LogAppend("LoadRAW: error keyNumberOfDocuments:%d\n", countStatus);
        LogAppend("LoadRAW: now num documents: %d\n", countAfter);
        // Without both counts nobody knows whose document this is: no entry, so the bridge never
        // closes it.
        if (before && countStatus == 0) LoadedRawFiles.emplace(windowsPath, countAfter == countBefore);
      })
      .Then([&] { return countStatus; });
  if (report != nullptr) *report = outcome;
  return OSErr(chain.Status());  // the low 16 bits, as every host status
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
