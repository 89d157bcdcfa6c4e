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

std::map<std::string, bool> LoadedRawFiles;

namespace {

constexpr char kRawConverter[] = "Adobe Camera Raw";
constexpr int32_t kOutOfMemory = -108;  // the host's status for memory it could not get
constexpr int32_t kNoSize = -1;         // the host's size is no number of pixels

// The number of open documents, or -1 when it cannot be read (the status goes to *status).
int32_t OpenDocumentCount(int32_t* status) {
  int32_t count = 0;
  *status = PIUGetTargetInfo(classApplication, keyNumberOfDocuments, &count, nullptr);
  return *status == 0 ? count : -1;
}

}  // namespace

OSErr LoadRAW(const std::string& path, int32_t depth, int32_t& width, int32_t& height, bool* measured) {
  if (measured != nullptr) *measured = false;
  DescriptorHolder document;
  ReferenceHolder target;
  DescriptorHolder rawOptions;
  DescriptorHolder event;
  DescriptorHolder result;
  HostHandleHolder alias;
  std::string windowsPath = path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  int32_t countStatus = 0, countBefore = -1, countAfter = -1;
  DescriptorTypeID rawConverter = 0;
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
        Handle made = nullptr;
        FullPathToAlias(windowsPath.c_str(), made);
        alias.Reset(made);
        return alias ? 0 : kOutOfMemory;  // never hand the host a null alias
      })
      .Then([&] { return sPSActionDescriptor->PutAlias(event.Get(), keyNull, alias.Get()); })
      .Then([&] {
        return sPSActionDescriptor->PutEnumerated(rawOptions.Get(), keyBitDepth, keyBitDepth,
                                                  depth == 16 ? enumBitDepth16 : enumBitDepth8);
      })
      .Then([&] { return sPSActionControl->StringIDToTypeID(kRawConverter, &rawConverter); })
      .Then([&] { return sPSActionDescriptor->PutObject(event.Get(), keyAs, rawConverter, rawOptions.Get()); })
      .Log("LoadRAW: before play\n")
      .Then([&] { return sPSActionControl->Play(result.Address(), eventOpen, event.Get(), plugInDialogDontDisplay); })
      .Log("LoadRAW: before checkresult\n")
      .Then([&] { return CheckPlayResult(result.Get()); })
      .Then([&] { return sPSActionReference->PutEnumerated(target.Get(), classDocument, typeOrdinal, enumTarget); })
      .Log("LoadRAW: before getting width and height\n")
      .Then([&] { return sPSActionControl->Get(document.Address(), target.Get()); }, "LoadRAW: error aresult:%d\n")
      .Do([&] {
        // The whole-number sizes are read for the log only; the sizes come from the unit values.
        int32_t ignored = 0;
        if (const OSErr status = sPSActionDescriptor->GetInteger(document.Get(), keyWidth, &ignored)) {
          LogAppend("LoadRAW: error keyWidth1:%d\n", int32_t(status));
        }
        if (const OSErr status = sPSActionDescriptor->GetInteger(document.Get(), keyHeight, &ignored)) {
          LogAppend("LoadRAW: error keyHeight1:%d\n", int32_t(status));
        }
      })
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
        if (measured != nullptr) *measured = true;
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
  return OSErr(chain.Status());  // the low 16 bits, as every host status
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
