#include "ExportPlugin.h"

#include "DocumentImage.h"
#include "EventParameters.h"
#include "HostCodes.h"
#include "HostStatus.h"
#include "ProcessMemory.h"

namespace zk {
namespace {

constexpr DescriptorKeyID keyUsing = FourCC("Usng");
constexpr DescriptorKeyID keyHorizontal = FourCC("Hrzn");
constexpr DescriptorKeyID keyVertical = FourCC("Vrtc");
constexpr DescriptorKeyID keyData = FourCC("datA");
constexpr DescriptorKeyID keyMetadataCallback = FourCC("metC");

void DeliverMetadata(MetadataCallback callback, const std::string& metadata) {
  const char* bytes = metadata.data();
  if (metadata.empty()) {
    callback(bytes, 0);
    return;
  }
  const size_t first = metadata.size() / 3;
  if (first > 0) callback(bytes, int32_t(first));
  callback(bytes + first, 0);
  for (size_t at = first; at < metadata.size(); at += kMetadataPiece) {
    const size_t length = metadata.size() - at < kMetadataPiece ? metadata.size() - at : kMetadataPiece;
    callback(bytes + at, int32_t(length));
  }
}

}  // namespace

OSErr PlayExport(TypeIdTable& typeIds, const DocumentModel& documents, const DescriptorData* parameters,
                 DescriptorData* result) {
  EventParameters play(parameters);
  const DescriptorData* settings = nullptr;
  if (!play.Object(keyUsing, typeIds.ToTypeId(kExportPluginStringId), &settings)) {
    return FailPlay(result, kStandInParamError, play.Problem());
  }
  EventParameters exporting(settings);
  double width = 0, height = 0;
  int32_t depth = 0;
  uintptr_t data = 0, callback = 0;
  if (!exporting.Float(keyHorizontal, &width) || !exporting.Float(keyVertical, &height) ||
      !exporting.Integer(keyDepth, &depth) || !exporting.Address(keyData, &data) ||
      !exporting.Address(keyMetadataCallback, &callback)) {
    return FailPlay(result, kStandInParamError, exporting.Problem());
  }
  const HostDocument* document = documents.Target();
  if (!document) return FailPlay(result, kStandInNoSuchObject, "There is no document to export.");
  if (depth != 8 && depth != 16) {
    return FailPlay(result, kStandInParamError,
                    "The export writes 8 or 16 bits per channel, not " + std::to_string(depth) + ".");
  }
  int64_t documentWidth = 0, documentHeight = 0;
  if (!DocumentPixelSize(*document, &documentWidth, &documentHeight) || width != double(documentWidth) ||
      height != double(documentHeight)) {
    return FailPlay(result, kStandInParamError,
                    "The export was asked for " + NumberText(width) + " x " + NumberText(height) +
                        " pixels, but \"" + document->title + "\" has " + std::to_string(documentWidth) + " x " +
                        std::to_string(documentHeight) + ".");
  }
  uint64_t bytes = 0;
  std::string error;
  if (!DocumentPixelBytes(*document, depth, &bytes, &error)) {
    return FailPlay(result, kStandInParamError, "Cannot export: " + error + ".");
  }
  if (!IsWritableRange(data, size_t(bytes))) {
    return FailPlay(result, kStandInParamError,
                    "The segment at 'datA' is no writable memory of " + std::to_string(bytes) + " bytes.");
  }
  if (!IsExecutableAddress(callback)) {
    return FailPlay(result, kStandInParamError, "The callback at 'metC' is no code of this process.");
  }
  if (document->metadata.size() > size_t(INT32_MAX)) {
    return FailPlay(result, kStandInParamError, "The metadata of \"" + document->title + "\" is too large to hand on.");
  }
  // Straight into the segment, converted or made on the way: a copy of a picture of gigabytes
  // first would double the export's time and the host's memory.
  WriteDocumentPixels(*document, depth, reinterpret_cast<uint8_t*>(data));
  DeliverMetadata(reinterpret_cast<MetadataCallback>(callback), document->metadata);
  return 0;
}

}  // namespace zk
