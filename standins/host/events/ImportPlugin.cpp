#include "ImportPlugin.h"

#include "EventParameters.h"
#include "HostCodes.h"
#include "HostStatus.h"
#include "ImagePixels.h"
#include "ProcessMemory.h"

#include <new>

namespace zk {
namespace {

constexpr DescriptorKeyID keyUsing = FourCC("Usng");
constexpr DescriptorKeyID keyHorizontal = FourCC("Hrzn");
constexpr DescriptorKeyID keyVertical = FourCC("Vrtc");
constexpr DescriptorKeyID keyData = FourCC("datA");
constexpr DescriptorKeyID keyMetadataSize = FourCC("metS");
constexpr DescriptorKeyID keyMetadataData = FourCC("metD");

}  // namespace

OSErr PlayImport(TypeIdTable& typeIds, DocumentModel& documents, const DescriptorData* parameters,
                 DescriptorData* result, MadeDocument* made) {
  EventParameters play(parameters);
  const DescriptorData* settings = nullptr;
  if (!play.Object(keyUsing, typeIds.ToTypeId(kImportPluginStringId), &settings)) {
    return FailPlay(result, kStandInParamError, play.Problem());
  }
  EventParameters importing(settings);
  double width = 0, height = 0;
  int32_t depth = 0, metadataSize = 0;
  uintptr_t data = 0, metadata = 0;
  if (!importing.Float(keyHorizontal, &width) || !importing.Float(keyVertical, &height) ||
      !importing.Integer(keyDepth, &depth) || !importing.Address(keyData, &data) ||
      !importing.Integer(keyMetadataSize, &metadataSize) || !importing.Address(keyMetadataData, &metadata)) {
    return FailPlay(result, kStandInParamError, importing.Problem());
  }
  int64_t pixelWidth = 0, pixelHeight = 0;
  uint64_t bytes = 0;
  if (!IsWholeCount(width, kLargestImageSide, &pixelWidth) || !IsWholeCount(height, kLargestImageSide, &pixelHeight) ||
      !ImageBytes(pixelWidth, pixelHeight, depth, &bytes)) {
    return FailPlay(result, kStandInParamError,
                    "The import takes a size of whole pixels up to " + std::to_string(kLargestImageSide) +
                        " and 8 or 16 bits per channel, not " + NumberText(width) + " x " +
                        NumberText(height) + " at " + std::to_string(depth) + ".");
  }
  // No metadata is "0" at 'metD': an address with a size of 0 is a caller that lost track of one.
  if (metadataSize < 0 || (metadataSize > 0) != (metadata != 0)) {
    return FailPlay(result, kStandInParamError,
                    "The metadata's size " + std::to_string(metadataSize) + " does not go with its address.");
  }
  if (!IsReadableRange(data, size_t(bytes))) {
    return FailPlay(result, kStandInParamError,
                    "The pixels at 'datA' are no readable memory of " + std::to_string(bytes) + " bytes.");
  }
  if (metadataSize > 0 && !IsReadableRange(metadata, size_t(metadataSize))) {
    return FailPlay(result, kStandInParamError,
                    "The metadata at 'metD' is no readable memory of " + std::to_string(metadataSize) + " bytes.");
  }

  HostDocument document;
  document.title = documents.UnusedUntitledTitle();
  document.width = double(pixelWidth);
  document.height = double(pixelHeight);
  document.unit = unitPixels;
  document.resolution = 72;
  document.depth = depth;
  document.dirty = true;
  // The document keeps the one copy of the pixels the host holds, made straight from the caller's
  // memory. A picture the host has no memory for fails the import, as the real host's would.
  try {
    const auto* pixels = reinterpret_cast<const uint8_t*>(data);
    document.samples.assign(pixels, pixels + bytes);
    if (metadataSize > 0) document.metadata.assign(reinterpret_cast<const char*>(metadata), size_t(metadataSize));
  } catch (const std::bad_alloc&) {
    return FailPlay(result, kStandInMemoryError,
                    "Not enough memory to hold a picture of " + std::to_string(pixelWidth) + " x " +
                        std::to_string(pixelHeight) + " pixels at " + std::to_string(depth) + " bits (" +
                        std::to_string(bytes) + " bytes).");
  }
  *made = MadeDocument{0, document.title, pixelWidth, pixelHeight, depth, document.metadata.size()};
  made->id = documents.Open(std::move(document));
  ActionValue id;
  id.type = typeInteger;
  id.integer = made->id;
  result->Put(keyDocumentID, id);
  return 0;
}

}  // namespace zk
