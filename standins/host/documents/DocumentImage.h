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

// The document's pixels at depth 8 or 16, converted when the document has another depth; a
// document without pixels gives GradientImage of its size. False with a reason when the document
// has no usable size or its samples do not match its size.
bool DocumentPixels(const HostDocument& document, int32_t depth, ImagePixels* image, std::string* error);

}  // namespace zk
