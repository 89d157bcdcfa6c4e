#include "PixelExport.h"

#include "DescriptorHelpers.h"
#include "HostAddressText.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "PluginLog.h"
#include "RawFileLoading.h"

namespace ZentrastMisc {
namespace AutomationUtils {

MetadataBytes GrabbedMetadata;
std::map<std::string, MetadataBytes> RawFileMetadata;

namespace {

constexpr char kExportPlugin[] = "b28c4e40-66a6-11e2-bcfd-0800200c9a66";

// True when the active document has unsaved changes, or when that cannot be read.
bool ActiveDocumentMayHaveChanges() {
  Boolean dirty = true;
  return PIUGetTargetInfo(classDocument, keyIsDirty, &dirty, nullptr) != 0 || dirty;
}

// Closes the active document without saving; the status of the first failing step.
int32_t CloseActiveDocumentWithoutSaving() {
  DescriptorHolder close;
  DescriptorHolder result;
  HostCallChain chain;
  chain.Then([&] { return MakeDescriptor(close); })
      .Then([&] { return sPSActionDescriptor->PutEnumerated(close.Get(), keySaving, typeYesNo, enumNo); })
      .Then([&] { return sPSActionControl->Play(result.Address(), eventClose, close.Get(), plugInDialogSilent); });
  return chain.Status();
}

}  // namespace

void AppendGrabbedMetadata(const void* data, int32_t length) {
  if (data == nullptr || length <= 0) return;
  const auto* bytes = static_cast<const uint8_t*>(data);
  GrabbedMetadata.insert(GrabbedMetadata.end(), bytes, bytes + length);
}

OSErr GrabBuffer(int32_t width, int32_t height, int32_t depth, uint64_t pixels, MetadataBytes& metadata,
                 bool closeAfter) {
  const LogSession logSession;
  const std::string pixelsText = AddressText(pixels);
  const std::string callbackText = AddressText(reinterpret_cast<uintptr_t>(&AppendGrabbedMetadata));
  DescriptorHolder exportOptions;
  DescriptorHolder event;
  DescriptorHolder result;
  DescriptorTypeID exportPlugin = 0;

  HostCallChain chain;
  chain.Then([&] { return MakeDescriptor(exportOptions); })
      .Then([&] { return sPSActionDescriptor->PutFloat(exportOptions.Get(), keyHorizontal, width); })
      .Then([&] { return sPSActionDescriptor->PutFloat(exportOptions.Get(), keyVertical, height); })
      .Then([&] { return sPSActionDescriptor->PutInteger(exportOptions.Get(), keyDepth, depth); })
      .Then([&] { return sPSActionDescriptor->PutString(exportOptions.Get(), keyPixelData, pixelsText.c_str()); })
      .Then([&] {
        return sPSActionDescriptor->PutString(exportOptions.Get(), keyMetadataCallback, callbackText.c_str());
      })
      .Then([&] { return MakeDescriptor(event); })
      .Then([&] { return sPSActionControl->StringIDToTypeID(kExportPlugin, &exportPlugin); })
      .Then([&] { return sPSActionDescriptor->PutObject(event.Get(), keyUsing, exportPlugin, exportOptions.Get()); })
      .Do([&] {
        GrabbedMetadata.clear();
        LogAppend("GrabBuffer: About to call plugin\n");
      })
      .Then([&] {
        const OSErr status = sPSActionControl->Play(result.Address(), eventExport, event.Get(), plugInDialogSilent);
        LogAppend("GrabBuffer: Finished calling plugin: result=%d\n", int32_t(status));
        metadata = GrabbedMetadata;  // whatever was delivered, also when the export failed
        return status;
      })
      .Do([&] {
        result.Reset();
        event.Reset();
        exportOptions.Reset();
        if (!closeAfter) return;
        // The document was open before the request, so it is the person's: never discard changes.
        if (ActiveDocumentMayHaveChanges()) {
          LogAppend("GrabBuffer: document has unsaved changes, left open\n");
          return;
        }
        if (const int32_t status = CloseActiveDocumentWithoutSaving()) {
          LogAppend("GrabBuffer: close after export failed: %d\n", status);
        }
      });
  return OSErr(chain.Status());
}

bool LoadedRawFileFlag(const std::string& path) {
  const auto found = LoadedRawFiles.find(path);
  return found != LoadedRawFiles.end() && found->second;
}

void StoreRawFileMetadata(const std::string& path, const MetadataBytes& bytes) { RawFileMetadata[path] = bytes; }

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
