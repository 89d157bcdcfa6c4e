#include "RawFileLoading.h"

#include <algorithm>
#include <vector>

#include "DescriptorHelpers.h"
#include "DocumentQueries.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "HostText.h"
#include "ModuleStatus.h"
#include "PluginLog.h"

namespace ZentrastMisc {
namespace AutomationUtils {

LoadedRawFileMap LoadedRawFiles;

namespace {

std::vector<OpenedRawDocument> OpenedRawDocumentList;

// A host's message is a sentence or two; a longer text is not passed on.
constexpr uint32_t kMostMessageBytes = 4096;

// The number of open documents, or -1 when it cannot be read (the status goes to *status).
int32_t CountOrUnknown(int32_t* status) {
  int32_t count = 0;
  *status = OpenDocumentCount(&count);
  return *status == 0 ? count : -1;
}

// Whether the document is the requested file's. An open that answers success may have opened
// nothing (a person cancelled the raw converter's dialog: no message, no document), and then the
// active document is whatever the person had active. The count of documents cannot tell that
// apart from a file that was open already and is now active again, and what an open's result
// holds for such a file is not known; the active document's own file is exactly what the export
// will read, so that is what is checked: as a file, since the host may name it otherwise than
// the request did (its short name, another drive letter onto the same folder, a link).
bool IsDocumentOf(PIActionDescriptor document, const std::string& path) {
  HostHandleHolder alias;
  std::string file;
  const bool found = sPSActionDescriptor->GetAlias(document, keyFileReference, alias.Address()) == 0 &&
                     AliasFilePath(alias.Get(), &file) && SameFile(file, path);
  if (!found) {
    LogAppend("LoadRAW: not opened, the active document's file: %s\n", file.empty() ? "(none)" : file.c_str());
  }
  return found;
}

// A play result that carries a message, or no result at all, is a failed open; the message says
// why, in the host's words.
int32_t JudgeOpenResult(PIActionDescriptor result, std::string* message) {
  const int32_t status = CheckPlayResult(result);
  if (status != -1) return status;
  if (result == nullptr) return kOpenAnsweredNoResult;
  uint32_t length = 0;
  if (sPSActionDescriptor->GetStringLength(result, keyMessage, &length) == 0 && length < kMostMessageBytes) {
    std::vector<char> text(size_t(length) + 1, '\0');
    if (sPSActionDescriptor->GetString(result, keyMessage, text.data(), length + 1) == 0) {
      *message = HostTextToUtf8(std::string(text.data()));
    }
  }
  return kOpenAnsweredAMessage;
}

// Records what the open did: whether the file was open already, and the document the open added,
// by its identifier. Without that identifier nothing is recorded, so the bridge never closes the
// document: it could not tell it from another.
void RecordRawLoad(const std::string& windowsPath, bool added, PIActionDescriptor document) {
  int32_t id = 0;
  if (added) {
    if (const int32_t status = sPSActionDescriptor->GetInteger(document, keyDocumentID, &id)) {
      LogAppend("LoadRAW: error keyDocumentID:%d\n", status);
      return;
    }
  }
  auto entry = FindSameFile(LoadedRawFiles, windowsPath);
  if (entry == LoadedRawFiles.end()) entry = LoadedRawFiles.emplace(windowsPath, !added).first;
  if (added) OpenedRawDocumentList.push_back({uint32_t(id), entry->first});
}

}  // namespace

const std::vector<OpenedRawDocument>& OpenedRawDocuments() { return OpenedRawDocumentList; }

void ForgetOpenedRawDocument(uint32_t id) {
  const auto document = std::find_if(OpenedRawDocumentList.begin(), OpenedRawDocumentList.end(),
                                     [&](const OpenedRawDocument& opened) { return opened.id == id; });
  if (document == OpenedRawDocumentList.end()) return;
  const std::string file = document->file;
  OpenedRawDocumentList.erase(document);
  const bool more = std::any_of(OpenedRawDocumentList.begin(), OpenedRawDocumentList.end(),
                                [&](const OpenedRawDocument& opened) { return opened.file == file; });
  const auto entry = LoadedRawFiles.find(file);
  // An entry whose first open found the file open already stays: its document is closed after
  // each export.
  if (!more && entry != LoadedRawFiles.end() && !entry->second) LoadedRawFiles.erase(entry);
}

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
        countBefore = CountOrUnknown(&countStatus);  // a failed count does not stop the open
        LogAppend("LoadRAW: num documents: %d\n", countBefore);
      })
      .Then([&] {
        const int32_t status = FillRawOpenEvent(windowsPath, depth, event.Get(), rawOptions.Get(), alias);
        if (IsModuleStatus(status)) LogAppend("LoadRAW: the path cannot be handed to the host\n");
        return status;
      })
      .Log("LoadRAW: before play\n")
      .Then([&] { return sPSActionControl->Play(result.Address(), eventOpen, event.Get(), plugInDialogDontDisplay); })
      .Log("LoadRAW: before checkresult\n")
      .Then([&] { return JudgeOpenResult(result.Get(), &outcome.openMessage); })
      .Then([&] { return sPSActionReference->PutEnumerated(target.Get(), classDocument, typeOrdinal, enumTarget); })
      .Log("LoadRAW: before getting width and height\n")
      .Then([&] { return sPSActionControl->Get(document.Address(), target.Get()); }, "LoadRAW: error aresult:%d\n")
      .Then([&] { return IsDocumentOf(document.Get(), windowsPath) ? 0 : kRawFileNotOpened; })
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
          return kNoPixelSize;
        }
        width = pixelWidth;
        height = pixelHeight;
        outcome.measured = true;
        return 0;
      }, "LoadRAW: error size:%d\n")
      .Do([&] {
        LogAppend("LoadRAW: before getting number of documents\n");
        const bool before = countStatus == 0;
        countAfter = CountOrUnknown(&countStatus);
        if (countStatus != 0) LogAppend("LoadRAW: error keyNumberOfDocuments:%d\n", countStatus);
        LogAppend("LoadRAW: now num documents: %d\n", countAfter);
        // Without both counts nobody knows whose document this is: no entry, so the bridge never
        // closes it.
        if (before && countStatus == 0) RecordRawLoad(windowsPath, countAfter != countBefore, document.Get());
      })
      .Then([&] { return countStatus; });
  outcome.status = chain.Status();
  if (report != nullptr) *report = outcome;
  return OSErr(chain.Status());  // the low 16 bits, as every host status
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
