#include "NewDocument.h"

#include <cstdint>
#include <vector>

#include "DescriptorHelpers.h"
#include "DocumentSelection.h"
#include "HostAddressText.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "HostPaths.h"
#include "PluginLog.h"
#include "RawFileLoading.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

constexpr char kImportPlugin[] = "b33b37f0-655e-11e2-bcfd-0800200c9a66";
constexpr OSErr kBadParameter = -50;  // the host's status for a parameter it cannot take

// The identifier of document index when it is one the bridge opened and must close; the file is
// then forgotten. False for any other document, for one that cannot be read whole, and for one
// with unsaved changes (or whose changes cannot be read): the person may have worked on it since
// it opened, so it stays open and keeps its entry, and a later "SendImage" looks at it again.
bool PickLoadedRawDocument(uint32_t index, uint32_t* identifier, int32_t* status) {
  DescriptorHolder document;
  HostHandleHolder alias;
  std::string path;
  int32_t documentId = 0;
  Boolean dirty = true;
  bool picked = false;
  HostCallChain chain;
  chain.Then([&] { return PIUGetInfoByIndex(index, classDocument, 0, document.Address(), nullptr); })
      .Then([&] { return sPSActionDescriptor->GetAlias(document.Get(), keyFileReference, alias.Address()); })
      .Do([&] {
        // A path that cannot be read whole comes back empty, and no key is empty: never a cut path.
        AliasFilePath(alias.Get(), &path);
        const auto found = LoadedRawFiles.find(path);
        picked = !path.empty() && found != LoadedRawFiles.end() && !found->second;
      })
      .Then([&] { return picked ? sPSActionDescriptor->GetBoolean(document.Get(), keyIsDirty, &dirty) : 0; },
            "CloseLoadedRawDocuments: error keyIsDirty:%d, left open\n")
      .Do([&] {
        if (!picked || !dirty) return;
        LogAppend("CloseLoadedRawDocuments: unsaved changes, left open: %s\n", path.c_str());
        picked = false;
      })
      .Then([&] { return picked ? sPSActionDescriptor->GetInteger(document.Get(), keyDocumentID, &documentId) : 0; },
            "CloseLoadedRawDocuments: error keyDocumentID:%d, left open\n")
      .Do([&] {
        if (!picked) return;
        LoadedRawFiles.erase(path);
        *identifier = uint32_t(documentId);
      });
  *status = chain.Status();
  return picked && chain.Going();
}

}  // namespace

bool HasRawFileMetadata(const std::string& name) { return RawFileMetadata.count(name) != 0; }

const MetadataBytes& GetRawFileMetadata(const std::string& name) { return RawFileMetadata[name]; }

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

OSErr CloseLoadedRawDocuments() {
  int32_t count = 0;
  int32_t status = PIUGetTargetInfo(classApplication, keyNumberOfDocuments, &count, nullptr);
  // Every identifier first: closing renumbers the documents. No count, no document examined.
  std::vector<uint32_t> identifiers;
  if (status != 0) LogAppend("CloseLoadedRawDocuments: error keyNumberOfDocuments:%d\n", status);
  for (int32_t index = status == 0 ? count : 0; index >= 1; --index) {
    uint32_t identifier = 0;
    if (PickLoadedRawDocument(uint32_t(index), &identifier, &status)) identifiers.push_back(identifier);
  }
  for (const uint32_t identifier : identifiers) {
    status = CloseDocumentWithoutSaving(identifier);
    if (status != 0) LogAppend("CloseLoadedRawDocuments: close of document %u failed: %d\n", identifier, status);
  }
  return OSErr(status);
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
