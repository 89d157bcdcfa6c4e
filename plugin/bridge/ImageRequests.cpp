#include "ImageRequests.h"

#include "ImageRequestFields.h"
#include "ModuleStatus.h"
#include "NewDocument.h"
#include "PixelExport.h"
#include "RawFileLoading.h"
#include "RawFileRecords.h"
#include "RequestNumbers.h"
#include "SharedSegment.h"

namespace AutomationUtils = ZentrastMisc::AutomationUtils;

namespace {

std::string SizeText(uint64_t bytes) { return std::to_string(static_cast<unsigned long long>(bytes)); }

// A host's status as a number, and its four characters where it spells them (the host's 32-bit
// statuses are such codes: 'Parm').
std::string HostStatusText(int32_t status) {
  std::string code;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char character = char((uint32_t(status) >> shift) & 0xFF);
    if (character < 0x20 || character > 0x7E) return FormatNumber(status);
    code += character;
  }
  return FormatNumber(status) + " ('" + code + "')";
}

// What went wrong, in words: the module's own refusals say what they refused, a host's refusal
// names the host's status.
std::string LoadFailureText(const AutomationUtils::RawLoadReport& load) {
  switch (load.status) {
    case kPathNotCarried:
      return "the path cannot be passed to the host (a character of it has no place in the host's 8-bit paths)";
    case kPathNotText:
      return "the path cannot be passed to the host (it holds a zero character)";
    case kRawFileNotOpened:
      return "the raw file was not opened (the host did not make it the active document)";
    case kOpenAnsweredNoResult:
      return "the host's open answered no result";
    case kOpenAnsweredAMessage:
      return "the host's open answered with a message" + (load.openMessage.empty() ? "" : ": " + load.openMessage);
    case kNoPixelSize:
      return "the host gives its size as no whole number of pixels";
    default:
      return "error " + HostStatusText(load.status);
  }
}

}  // namespace

void HandleReadRaw(const FieldList& request, ReplyFieldList& reply, AutomationUtils::RawFileRecords& records) {
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
  AutomationUtils::RawLoadReport load;
  AutomationUtils::LoadRAW(records, path, depth, width, height, &load);
  // Without a measured document of the requested file there is nothing to export: never the
  // document a person had active in its place. A document that opened and was measured is
  // exported even when the count of documents after it could not be read (LoadRAW logged that;
  // the file is then not recorded, so the bridge never closes it).
  if (!load.measured) {
    ReplyError(reply, "Unable to load RAW image " + path + ": " + LoadFailureText(load));
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
  const bool closeAfter = AutomationUtils::LoadedRawFileFlag(records, path);
  const OSErr exported = AutomationUtils::GrabBuffer(width, height, depth, reinterpret_cast<uintptr_t>(segment.view.Get()),
                                                     metadata, closeAfter);
  if (exported < 0) {
    ReplyError(reply, "Unable to load RAW image " + path + ": error " + FormatNumber(exported));
    return;
  }
  AutomationUtils::StoreRawFileMetadata(records, path, metadata);
  reply.Append("OK");
  reply.Append(FormatNumber(width));
  reply.Append(FormatNumber(height));
}

void HandleSendImage(const FieldList& request, ReplyFieldList& reply, AutomationUtils::RawFileRecords& records) {
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
  // Released in reverse order of declaration: metadata view, metadata segment, image view, image
  // segment (each segment lets go of its view first).
  SharedSegment image;
  SharedSegment metadataSegment;
  if (!OpenSegment(RequestArgument(request, 2), image, &error) || !MapSegment(image, imageBytes, &error) ||
      !OpenSegment(RequestArgument(request, 6), metadataSegment, &error) ||
      // Widened with its sign: a negative length is far beyond any segment, and the map fails.
      !MapSegment(metadataSegment, uint64_t(int64_t(metadataLength)), &error)) {
    ReplyError(reply, error);
    return;
  }
  const bool storedMetadata = AutomationUtils::HasRawFileMetadata(records, source);
  const uint64_t metadataBytes =
      storedMetadata ? uint64_t(AutomationUtils::GetRawFileMetadata(records, source).size()) : uint64_t(metadataLength);
  // The raw documents stay as they are too: nothing is played for a request that cannot be carried.
  if (!CheckImportMetadataBytes(metadataBytes, &error)) {
    ReplyError(reply, error);
    return;
  }
  OSErr imported = 0;
  {
    const auto* bytes = static_cast<const uint8_t*>(metadataSegment.view.Get());
    const AutomationUtils::MetadataBytes metadata = storedMetadata
                                                        ? AutomationUtils::GetRawFileMetadata(records, source)
                                                        : AutomationUtils::MetadataBytes(bytes, bytes + metadataLength);
    imported = AutomationUtils::NewDocumentFromBuffer(width, height, uint32_t(depth), image.view.Get(), metadata);
  }
  // The raw documents are tidied up either way; a close that fails is logged there and changes
  // nothing the companion is told.
  AutomationUtils::CloseLoadedRawDocuments(records);
  // A companion told "OK" would tell the person the image is in the host: only when it is.
  if (imported != 0) {
    ReplyError(reply, "Unable to make a new document from segment " + image.name + ": error " + FormatNumber(imported));
    return;
  }
  reply.Append("OK");
}
