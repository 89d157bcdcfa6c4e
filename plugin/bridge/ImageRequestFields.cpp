#include "ImageRequestFields.h"

#include "RequestNumbers.h"

bool ImageSegmentBytes(int32_t width, int32_t height, int32_t depth, uint64_t* bytes) {
  if (width <= 0 || height <= 0 || (depth != 8 && depth != 16)) return false;
  const uint64_t pixels = uint64_t(width) * uint64_t(height);  // below 2^62: no overflow
  const uint64_t perPixel = 3 * uint64_t(depth / 8);
  if (pixels > uint64_t(INT64_MAX) / perPixel) return false;
  *bytes = pixels * perPixel;
  return true;
}

const std::string& RequestArgument(const FieldList& request, size_t index) {
  static const std::string none;
  return index < request.size() ? request[index] : none;
}

bool CheckReadRawFields(const FieldList& request, ReadRawFields* fields, std::string* error) {
  if (!ReadSizeNumber(RequestArgument(request, 3), &fields->segmentBytes)) {
    *error = "Non-numeric segment size provided";
    return false;
  }
  if (!ReadSignedNumber(RequestArgument(request, 4), &fields->depth)) {
    *error = "Non-numeric bit depth provided";
    return false;
  }
  if (fields->depth != 8 && fields->depth != 16) {
    *error = "Bit depth must be 8 or 16";
    return false;
  }
  return true;
}

bool CheckSendImageFields(const FieldList& request, SendImageFields* fields, std::string* error) {
  if (!ReadSignedNumber(RequestArgument(request, 5), &fields->depth)) {
    *error = "Non-numeric bith depth provided";
    return false;
  }
  if (fields->depth != 8 && fields->depth != 16) {
    *error = "Bit depth must be 8 or 16";
    return false;
  }
  if (!ReadSignedNumber(RequestArgument(request, 3), &fields->width)) {
    *error = "Non-numeric width provided";
    return false;
  }
  if (!ReadSignedNumber(RequestArgument(request, 4), &fields->height)) {
    *error = "Non-numeric height provided";
    return false;
  }
  if (!ReadSignedNumber(RequestArgument(request, 7), &fields->metadataLength)) {
    *error = "Non-numeric metadata length provided";
    return false;
  }
  // Two negative numbers multiply to a positive size: refuse any size that is not an image.
  if (!ImageSegmentBytes(fields->width, fields->height, fields->depth, &fields->imageBytes)) {
    *error = "Invalid image size " + FormatNumber(fields->width) + " x " + FormatNumber(fields->height) +
             " for segment " + RequestArgument(request, 2);
    return false;
  }
  return true;
}

bool CheckImportMetadataBytes(uint64_t bytes, std::string* error) {
  if (bytes <= uint64_t(INT32_MAX)) return true;
  *error = "Metadata of " + std::to_string(static_cast<unsigned long long>(bytes)) +
           " bytes cannot be passed to the import, which takes at most " + std::to_string(INT32_MAX) + " bytes";
  return false;
}
