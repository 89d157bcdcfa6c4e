// A document as a picture: its size in pixels (a document's width and height may be kept in
// distance units) and its pixels at a depth, for the export plug-in and for writing image files.
#pragma once

#include "DocumentModel.h"
#include "ImagePixels.h"

#include <string>

namespace zk {

// Width and height in whole pixels (a size kept in distance units is converted at the document's
// resolution and rounded to the nearest pixel). False for a size below one pixel.
bool DocumentPixelSize(const HostDocument& document, int64_t* width, int64_t* height);

// The bytes of the document's pixels at depth 8 or 16 in the shared layout. False with a reason
// when the document has no usable size or its samples do not match its size.
bool DocumentPixelBytes(const HostDocument& document, int32_t depth, uint64_t* bytes, std::string* error);

// Writes the document's pixels at depth into pixels, which has room for DocumentPixelBytes (that
// must have answered true): its own samples, converted when it has another depth, or for a
// document without pixels GradientImage of its size. Nothing of the picture's size is allocated
// on the way, so a picture of gigabytes costs the destination only.
void WriteDocumentPixels(const HostDocument& document, int32_t depth, uint8_t* pixels);

// The document's pixels at depth as a picture of its own (DocumentPixelBytes, then
// WriteDocumentPixels into it).
bool DocumentPixels(const HostDocument& document, int32_t depth, ImagePixels* image, std::string* error);

}  // namespace zk
