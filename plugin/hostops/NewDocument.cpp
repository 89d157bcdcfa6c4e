#include "NewDocument.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "DescriptorHelpers.h"
#include "DocumentCount.h"
#include "DocumentSelection.h"
#include "HostAddressText.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "PluginLog.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

constexpr char kImportPlugin[] = "b33b37f0-655e-11e2-bcfd-0800200c9a66";
constexpr OSErr kBadParameter = -50;  // the host's status for a parameter it cannot take

// Which of the documents the bridge's raw opens added are to be closed now, last document first,
// found by their identifiers. One with unsaved changes, or whose changes cannot be read, stays
// open: the person may have worked on it since it opened, and a later "SendImage" looks at it
// again. *allRead tells whether every open document's identifier was read: only then is a
// document not found among them gone.
std::vector<uint32_t> PickOpenedRawDocuments(const RawFileRecords& records, int32_t count, std::set<uint32_t>* found,
                                             bool* allRead, int32_t* status) {
  std::vector<uint32_t> picked;
  *allRead = true;
  for (int32_t index = count; index >= 1; --index) {
    int32_t id = 0;
    *status = PIUGetInfoByIndex(uint32_t(index), classDocument, keyDocumentID, &id, nullptr);
    if (*status != 0) {
      LogAppend("CloseLoadedRawDocuments: error keyDocumentID:%d\n", *status);
      *allRead = false;
      continue;
    }
    if (!IsOpenedRawDocument(records, uint32_t(id))) continue;
    found->insert(uint32_t(id));
    Boolean dirty = true;
    *status = PIUGetInfoByIndex(uint32_t(index), classDocument, keyIsDirty, &dirty, nullptr);
    if (*status != 0) {
      LogAppend("CloseLoadedRawDocuments: error keyIsDirty:%d, left open\n", *status);
    } else if (dirty) {
      LogAppend("CloseLoadedRawDocuments: unsaved changes, left open: document %d\n", id);
    } else {
      picked.push_back(uint32_t(id));
    }
  }
  return picked;
}

}  // namespace

OSErr NewDocumentFromBuffer(int32_t width, int32_t height, uint32_t depth, const void* pixels,
                            const MetadataBytes& metadata) {
  const std::string pixelsText = AddressText(reinterpret_cast<uintptr_t>(pixels));
  const std::string metadataText = metadata.empty() ? "0" : AddressText(reinterpret_cast<uintptr_t>(metadata.data()));
  DescriptorHolder importOptions;
  DescriptorHolder event;
  DescriptorHolder result;
  DescriptorTypeID importPlugin = 0;
  bool played = false;
  HostCallChain chain;
  // 'metS' is a 32-bit count: more bytes than it can say would hand the import a wrong size.
  chain.Then([&] { return metadata.size() > size_t(INT32_MAX) ? kBadParameter : OSErr(0); })
      .Then([&] { return MakeDescriptor(importOptions); })
      .Then([&] { return sPSActionDescriptor->PutFloat(importOptions.Get(), keyHorizontal, width); })
      .Then([&] { return sPSActionDescriptor->PutFloat(importOptions.Get(), keyVertical, height); })
      .Then([&] { return sPSActionDescriptor->PutInteger(importOptions.Get(), keyDepth, int32_t(depth)); })
      .Then([&] { return sPSActionDescriptor->PutString(importOptions.Get(), keyPixelData, pixelsText.c_str()); })
      .Then([&] { return sPSActionDescriptor->PutInteger(importOptions.Get(), keyMetadataSize, int32_t(metadata.size())); })
      .Then([&] { return sPSActionDescriptor->PutString(importOptions.Get(), keyMetadataData, metadataText.c_str()); })
      .Then([&] { return MakeDescriptor(event); })
      .Then([&] { return sPSActionControl->StringIDToTypeID(kImportPlugin, &importPlugin); })
      .Then([&] { return sPSActionDescriptor->PutObject(event.Get(), keyUsing, importPlugin, importOptions.Get()); })
      .Log("NewDocumentFromBuffer: About to call plugin\n")
      .Then([&] {
        played = true;
        const OSErr status = sPSActionControl->Play(result.Address(), eventImport, event.Get(), plugInDialogSilent);
        LogAppend("NewDocumentFromBuffer: Finished calling plugin: result=%d\n", int32_t(status));
        return status;
      });
  if (!played) LogAppend("NewDocumentFromBuffer: error before the import: %d\n", chain.Status());
  return OSErr(chain.Status());
}

OSErr CloseLoadedRawDocuments(RawFileRecords& records) {
  if (records.OpenedRawDocuments.empty()) return 0;
  int32_t count = 0;
  int32_t status = OpenDocumentCount(&count);
  if (status != 0) {
    LogAppend("CloseLoadedRawDocuments: error keyNumberOfDocuments:%d\n", status);
    return OSErr(status);
  }
  // Every identifier first: closing renumbers the documents.
  std::set<uint32_t> found;
  bool allRead = true;
  const std::vector<uint32_t> picked = PickOpenedRawDocuments(records, count, &found, &allRead, &status);
  if (allRead) {
    // Gone already: the person closed it.
    std::vector<uint32_t> gone;
    for (const OpenedRawDocument& document : records.OpenedRawDocuments) {
      if (found.count(document.id) == 0) gone.push_back(document.id);
    }
    for (const uint32_t id : gone) ForgetOpenedRawDocument(records, id);
  }
  for (const uint32_t identifier : picked) {
    status = CloseDocumentWithoutSaving(identifier);
    if (status != 0) {
      // It stays the bridge's: the next "SendImage" tries again.
      LogAppend("CloseLoadedRawDocuments: close of document %u failed: %d\n", identifier, status);
    } else {
      ForgetOpenedRawDocument(records, identifier);
    }
  }
  return OSErr(status);
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
