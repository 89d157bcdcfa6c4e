#include "RawFileLoading.h"

#include <algorithm>
#include <vector>

#include "DescriptorHelpers.h"
#include "DocumentCount.h"
#include "DocumentSize.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "HostPaths.h"
#include "HostText.h"
#include "ModuleStatus.h"
#include "PluginLog.h"
#include "RawOpenEvent.h"
#include "SameFile.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

// A host's message is a sentence or two; a longer text is not passed on.
constexpr uint32_t kMostMessageBytes = 4095;

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
  std::string text;
  if (ReadTextKey(result, keyMessage, kMostMessageBytes, &text) == 0) *message = HostTextToUtf8(text);
  return kOpenAnsweredAMessage;
}

// Records what the open did: whether the file was open already, and the document the open added,
// by its identifier. Without that identifier nothing is recorded, so the bridge never closes the
// document: it could not tell it from another.
void RecordWhatTheOpenDid(RawFileRecords& records, const std::string& windowsPath, bool added,
                          PIActionDescriptor document) {
  int32_t id = 0;
  if (added) {
    if (const int32_t status = sPSActionDescriptor->GetInteger(document, keyDocumentID, &id)) {
      LogAppend("LoadRAW: error keyDocumentID:%d\n", status);
      return;
    }
  }
  RecordRawLoad(records, windowsPath, added, uint32_t(id));
}

}  // namespace

OSErr LoadRAW(RawFileRecords& records, const std::string& path, int32_t depth, int32_t& width, int32_t& height,
              RawLoadReport* report) {
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
  DocumentSize size;

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
      .Then([&] { return ReadDocumentSize(document.Get(), &size); })
      .Then([&] {
        int32_t pixelWidth = 0, pixelHeight = 0;
        if (!size.WholePixels(&pixelWidth, &pixelHeight)) return kNoPixelSize;
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
        if (before && countStatus == 0) RecordWhatTheOpenDid(records, windowsPath, countAfter != countBefore, document.Get());
      })
      .Then([&] { return countStatus; });
  outcome.status = chain.Status();
  if (report != nullptr) *report = outcome;
  return OSErr(chain.Status());  // the low 16 bits, as every host status
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
