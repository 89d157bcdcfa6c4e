// The field checks of the two image requests: the parts that need neither the host nor a segment,
// so that they can be checked (and fuzzed) on their own. The handlers call these first and go to
// the segments and the host only when they pass; the error texts are the replies' texts.
#pragma once

#include <cstdint>
#include <string>

#include "FieldLists.h"

// The bytes of an image of width x height pixels, three samples each, depth bits per sample. False
// for a width or height not above 0, a depth other than 8 or 16, or a size beyond 63 bits.
bool ImageSegmentBytes(int32_t width, int32_t height, int32_t depth, uint64_t* bytes);

// A field the request may lack: a missing one reads as empty, so it fails the check it meets
// (a number is non-numeric, a segment name opens nothing, a path loads nothing).
const std::string& RequestArgument(const FieldList& request, size_t index);

// "ReadRaw" PATH SEGMENT BYTES DEPTH: the segment size (0: the whole segment) and the depth.
struct ReadRawFields {
  uint64_t segmentBytes = 0;
  int32_t depth = 0;
};
bool CheckReadRawFields(const FieldList& request, ReadRawFields* fields, std::string* error);

// "SendImage" SOURCE IMAGE WIDTH HEIGHT DEPTH METADATA LENGTH: the image's size and its bytes,
// and the metadata length (any value: a negative one is refused when the segment is mapped).
struct SendImageFields {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;
  int32_t metadataLength = 0;
  uint64_t imageBytes = 0;
};
bool CheckSendImageFields(const FieldList& request, SendImageFields* fields, std::string* error);

// Whether metadata of that many bytes can go to the import: its count travels in a 32-bit field.
// False with the error reply's text when it cannot, so that the request is refused before
// anything is played rather than handing the import a count that has wrapped.
bool CheckImportMetadataBytes(uint64_t bytes, std::string* error);
