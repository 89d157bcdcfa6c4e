#include "PixelExport.h"

#include <cstdint>

#include "DescriptorHelpers.h"
#include "HostAddressText.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "PluginLog.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

// What the export plug-in delivered during the latest export; emptied when an export starts. The
// plug-in reaches it only through AppendGrabbedMetadata, whose address it is handed as text and
// which it calls with nothing else, so it is the module's, for the module's life.
MetadataBytes GrabbedMetadata;

constexpr char kExportPlugin[] = "b28c4e40-66a6-11e2-bcfd-0800200c9a66";

// A raw file's metadata (its tags, maker notes, an embedded preview or two) runs to a few MiB. The
// bridge keeps copies of it: the export's, the one stored per file for the module's life, the one
// handed to the import. The cap keeps an export plug-in that runs away from making the host hold
// gigabytes for it, and keeps the count well inside the import's 32-bit 'metS'.
static_assert(kMostGrabbedMetadataBytes <= size_t(INT32_MAX), "the import takes a 32-bit count");
constexpr OSErr kMetadataNotKept = -108;  // the host's status for memory it could not get

// Why the latest export's metadata was dropped, if it was.
enum class MetadataLoss { None, BeyondTheCap, NoMemory };
MetadataLoss GrabbedMetadataLoss = MetadataLoss::None;

void DropGrabbedMetadata(MetadataLoss why) noexcept {
  MetadataBytes().swap(GrabbedMetadata);  // gives the memory back; cannot throw
  GrabbedMetadataLoss = why;
}

// Hands what the export delivered to the caller. False, and the caller's copy empty, when there is
// no memory for the copy.
bool CopyGrabbedMetadata(MetadataBytes& into) noexcept {
  try {
    into = GrabbedMetadata;
    return true;
  } catch (...) {
    MetadataBytes().swap(into);
    return false;
  }
}

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

void AppendGrabbedMetadata(const void* data, int32_t length) noexcept {
  if (GrabbedMetadataLoss != MetadataLoss::None || data == nullptr || length <= 0) return;
  // Checked before a byte is read: a length beyond the cap is never trusted to be readable.
  if (size_t(length) > kMostGrabbedMetadataBytes - GrabbedMetadata.size()) {
    DropGrabbedMetadata(MetadataLoss::BeyondTheCap);
    return;
  }
  try {
    const auto* bytes = static_cast<const uint8_t*>(data);
    GrabbedMetadata.insert(GrabbedMetadata.end(), bytes, bytes + length);
  } catch (...) {
    DropGrabbedMetadata(MetadataLoss::NoMemory);
  }
}

OSErr GrabBuffer(int32_t width, int32_t height, int32_t depth, uint64_t pixels, MetadataBytes& metadata,
                 bool closeAfter) {
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
        GrabbedMetadataLoss = MetadataLoss::None;
        LogAppend("GrabBuffer: About to call plugin\n");
      })
      .Then([&] {
        OSErr status = sPSActionControl->Play(result.Address(), eventExport, event.Get(), plugInDialogSilent);
        LogAppend("GrabBuffer: Finished calling plugin: result=%d\n", int32_t(status));
        if (GrabbedMetadataLoss == MetadataLoss::BeyondTheCap) {
          LogAppend("GrabBuffer: metadata beyond %d MiB, export failed\n", int(kMostGrabbedMetadataBytes >> 20));
        } else if (GrabbedMetadataLoss == MetadataLoss::NoMemory) {
          LogAppend("GrabBuffer: no memory for the metadata, export failed\n");
        }
        // Whatever was delivered goes to the caller, also when the export failed.
        const bool handedOn = CopyGrabbedMetadata(metadata);
        if (!handedOn) LogAppend("GrabBuffer: no memory to hand the metadata on, export failed\n");
        // Pixels without their metadata would make an image the companion cannot hand back whole.
        if (status == 0 && (GrabbedMetadataLoss != MetadataLoss::None || !handedOn)) status = kMetadataNotKept;
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

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
