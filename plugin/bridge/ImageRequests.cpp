#include "ImageRequests.h"

#include "ImageRequestFields.h"
#include "NewDocument.h"
#include "PixelExport.h"
#include "RawFileLoading.h"
#include "RequestNumbers.h"
#include "SharedSegment.h"

namespace AutomationUtils = ZentrastMisc::AutomationUtils;

namespace {

std::string SizeText(uint64_t bytes) { return std::to_string(static_cast<unsigned long long>(bytes)); }

}  // namespace

void HandleReadRaw(const FieldList& request, ReplyFieldList& reply) {
  const std::string& path = RequestArgument(request, 1);
  ReadRawFields fields;
  std::string error;
  if (!CheckReadRawFields(request, &fields, &error)) {
    ReplyError(reply, error);
    return;
  }
  const uint64_t size = fields.segmentBytes;
  const int32_t depth = fields.depth;
  SharedSegment segment;
  if (!OpenSegment(RequestArgument(request, 2), segment, &error)) {
    ReplyError(reply, error);
    return;
  }
  int32_t width = 0, height = 0;
  const OSErr loaded = AutomationUtils::LoadRAW(path, depth, width, height);
  // Without a measured document there is nothing to export.
  if (loaded != 0) {
    ReplyError(reply, "Unable to load RAW image " + path + ": error " + FormatNumber(loaded));
    return;
  }
  if (!MapSegment(segment, size, &error)) {
    ReplyError(reply, error);
    return;
  }
  // The export writes the whole image: it must never write past the view.
  uint64_t needed = 0;
  if (!ImageSegmentBytes(width, height, depth, &needed)) {
    ReplyError(reply, "Unable to load RAW image " + path + ": it measures " + FormatNumber(width) + " x " +
                          FormatNumber(height) + " pixels");
    return;
  }
  if (segment.mappedBytes < needed) {
    ReplyError(reply, "Segment " + segment.name + " holds " + SizeText(segment.mappedBytes) + " bytes, the image needs " +
                          SizeText(needed) + " bytes");
    return;
  }
  AutomationUtils::MetadataBytes metadata;
  const bool closeAfter = AutomationUtils::LoadedRawFileFlag(path);
  const OSErr exported = AutomationUtils::GrabBuffer(width, height, depth, reinterpret_cast<uintptr_t>(segment.view.Get()),
                                                     metadata, closeAfter);
  if (exported < 0) {
    ReplyError(reply, "Unable to load RAW image " + path + ": error " + FormatNumber(exported));
    return;
  }
  AutomationUtils::StoreRawFileMetadata(path, metadata);
  reply.Append("OK");
  reply.Append(FormatNumber(width));
  reply.Append(FormatNumber(height));
}

void HandleSendImage(const FieldList& request, ReplyFieldList& reply) {
  const std::string& source = RequestArgument(request, 1);
  SendImageFields fields;
  std::string error;
  if (!CheckSendImageFields(request, &fields, &error)) {
    ReplyError(reply, error);
    return;
  }
  const int32_t width = fields.width, height = fields.height, depth = fields.depth;
  const int32_t metadataLength = fields.metadataLength;
  const uint64_t imageBytes = fields.imageBytes;
  // Released in reverse: metadata view, metadata segment, image view, image segment.
  SharedSegment image;
  SharedSegment metadataSegment;
  if (!OpenSegment(RequestArgument(request, 2), image, &error) || !MapSegment(image, imageBytes, &error) ||
      !OpenSegment(RequestArgument(request, 6), metadataSegment, &error) ||
      // Widened with its sign: a negative length is far beyond any segment, and the map fails.
      !MapSegment(metadataSegment, uint64_t(int64_t(metadataLength)), &error)) {
    ReplyError(reply, error);
    return;
  }
  {
    const auto* bytes = static_cast<const uint8_t*>(metadataSegment.view.Get());
    const AutomationUtils::MetadataBytes metadata = AutomationUtils::HasRawFileMetadata(source)
                                                        ? AutomationUtils::GetRawFileMetadata(source)
                                                        : AutomationUtils::MetadataBytes(bytes, bytes + metadataLength);
    // The companion learns only that its image arrived; a failed import shows in the host.
    AutomationUtils::NewDocumentFromBuffer(width, height, uint32_t(depth), image.view.Get(), metadata);
  }
  AutomationUtils::CloseLoadedRawDocuments();
  reply.Append("OK");
}
