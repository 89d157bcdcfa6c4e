#include "ImageStatements.h"

#include "ImageFiles.h"
#include "ImagePattern.h"
#include "ImageSamples.h"
#include "ImageSummary.h"
#include "QuotedText.h"
#include "ToneMapping.h"

#include <cstdio>
#include <cstring>

namespace zk {

namespace {

std::string QuantityText(const Quantity& quantity) {
  switch (quantity.placeholder) {
    case Placeholder::None: return std::to_string(quantity.value);
    case Placeholder::Width: return "$width";
    case Placeholder::Height: return "$height";
    case Placeholder::SegmentSize: return "$size";
    case Placeholder::FilledLength: return "$length";
  }
  return {};
}

// The statement as the scenario wrote it: its keyword and its arguments.
std::pair<std::string, std::string> StatementLine(const Action& action) {
  const auto& f = action.fields;
  const auto& q = action.quantities;
  const std::string depth = std::to_string(action.depth);
  switch (action.kind) {
    case ActionKind::CreateSegment:
      return {"create-segment", QuoteText(f[0]) + " " + QuantityText(q[0])};
    case ActionKind::CreateSegmentForFile:
      return {"create-segment", QuoteText(f[0]) + " image " + QuoteText(f[1]) + " " + depth};
    case ActionKind::CreateSegmentForImage:
      return {"create-segment", QuoteText(f[0]) + " image " + QuantityText(q[0]) + " " + QuantityText(q[1]) + " " + depth};
    case ActionKind::DeleteSegment:
      return {"delete-segment", QuoteText(f[0])};
    case ActionKind::FillPattern:
      return {"fill-segment", QuoteText(f[0]) + " pattern " + QuantityText(q[0]) + " " + QuantityText(q[1]) + " " + depth};
    case ActionKind::FillBytes:
      return {"fill-segment", QuoteText(f[0]) + (action.bytesFromText ? " text " + QuoteText(f[1])
                                                                      : " bytes " + HexBytes(action.bytes))};
    case ActionKind::ReadRaw:
      return {"read-raw", QuoteText(f[0]) + " " + QuoteText(f[1]) + " " + QuantityText(q[0]) + " " + depth};
    case ActionKind::ToneMap:
      return {"tone-map", QuoteText(f[0]) + " " + QuoteText(f[1]) + " " + QuantityText(q[0]) + " " +
                              QuantityText(q[1]) + " " + depth + (action.srgb ? " srgb" : "")};
    case ActionKind::SummarizeSegment:
      return {"summarize-segment", QuoteText(f[0]) + " " + QuantityText(q[0]) + " " + QuantityText(q[1]) + " " + depth};
    case ActionKind::CompareSegment:
      return {"compare-segment", QuoteText(f[0]) + " " + QuoteText(f[1]) + " " + depth};
    case ActionKind::SendImage:
      return {"send-image", QuoteText(f[0]) + " " + QuoteText(f[1]) + " " + QuantityText(q[0]) + " " +
                                QuantityText(q[1]) + " " + depth + " " + QuoteText(f[2]) + " " + QuantityText(q[2])};
    default:
      return {"unknown", ""};
  }
}

std::string SizeText(std::uint64_t width, std::uint64_t height, int depth) {
  return std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(depth) + " bits";
}

// A decimal number above 0 that fits 31 bits, as the plug-in writes widths and heights.
std::optional<std::uint64_t> PositiveDecimal(const std::wstring& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t unit : text) {
    if (unit < L'0' || unit > L'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(unit - L'0');
  }
  if (value == 0 || value > 0x7FFFFFFFu) return std::nullopt;
  return value;
}

std::wstring Decimal(std::uint64_t value) {
  const std::string text = std::to_string(value);
  return std::wstring(text.begin(), text.end());
}

}  // namespace

ImageStatements::ImageStatements(Transcript& transcript, std::function<void(const std::wstring&)> status)
    : transcript_(transcript), status_(std::move(status)) {}

void ImageStatements::Run(const Action& action) {
  const auto [key, value] = StatementLine(action);
  transcript_.Line(key, value);
  status_(std::wstring(key.begin(), key.end()) + L" " + action.fields[0]);
  switch (action.kind) {
    case ActionKind::CreateSegment:
    case ActionKind::CreateSegmentForFile:
    case ActionKind::CreateSegmentForImage:
      CreateSegment(action);
      return;
    case ActionKind::DeleteSegment: {
      std::string error;
      if (!segments_.Delete(SegmentNameOf(action.fields[0]), error)) Fail(action, error);
      return;
    }
    case ActionKind::FillPattern:
    case ActionKind::FillBytes:
      FillSegment(action);
      return;
    case ActionKind::ToneMap:
      ToneMap(action);
      return;
    case ActionKind::SummarizeSegment:
      Summarize(action);
      return;
    case ActionKind::CompareSegment:
      Compare(action);
      return;
    default:
      return;
  }
}

void ImageStatements::CreateSegment(const Action& action) {
  std::uint64_t bytes = action.quantities.empty() ? 0 : action.quantities[0].value;
  if (action.kind == ActionKind::CreateSegmentForFile) {
    ImageFileSize file;
    std::string error;
    if (!ReadImageFileSize(action.fields[1], file, error)) {
      Fail(action, QuoteText(action.fields[1]) + ": " + error);
      return;
    }
    transcript_.Line("image-file", QuoteText(action.fields[1]) + " " + std::to_string(file.width) + " x " +
                                       std::to_string(file.height));
    if (!ImageByteCount(file.width, file.height, action.depth, &bytes)) {
      Fail(action, "the image file's size gives no segment size");
      return;
    }
  } else if (action.kind == ActionKind::CreateSegmentForImage) {
    const auto size = ResolveSize(action, 0);
    if (!size) return;
    if (!ImageByteCount(static_cast<std::int64_t>(size->width), static_cast<std::int64_t>(size->height), action.depth,
                        &bytes)) {
      Fail(action, "an image of " + SizeText(size->width, size->height, action.depth) + " is too large");
      return;
    }
  }
  std::string error;
  if (!segments_.Create(SegmentNameOf(action.fields[0]), bytes, error)) {
    Fail(action, error);
    return;
  }
  transcript_.Line("segment-created", QuoteText(action.fields[0]) + " " + std::to_string(bytes) + " bytes");
}

void ImageStatements::FillSegment(const Action& action) {
  SegmentView* segment = segments_.Find(SegmentNameOf(action.fields[0]));
  if (segment == nullptr) {
    Fail(action, "this run holds no segment " + QuoteText(action.fields[0]));
    return;
  }
  std::uint64_t written = action.bytes.size();
  if (action.kind == ActionKind::FillPattern) {
    const auto size = ResolveSize(action, 0);
    if (!size || SegmentFor(action, action.fields[0], *size, action.depth) == nullptr) return;
    WritePattern(segment->bytes, size->width, size->height, action.depth);
    ImageByteCount(static_cast<std::int64_t>(size->width), static_cast<std::int64_t>(size->height), action.depth,
                   &written);
  } else {
    if (written > segment->size) {
      Fail(action, std::to_string(written) + " bytes do not fit the segment " + QuoteText(action.fields[0]) + " of " +
                       std::to_string(segment->size) + " bytes");
      return;
    }
    if (written != 0) std::memcpy(segment->bytes, action.bytes.data(), action.bytes.size());
  }
  segment->filledLength = written;
  transcript_.Line("filled", QuoteText(action.fields[0]) + " " + std::to_string(written) + " bytes");
}

void ImageStatements::ToneMap(const Action& action) {
  const auto size = ResolveSize(action, 0);
  if (!size) return;
  const SegmentView* from = SegmentFor(action, action.fields[0], *size, 16);
  if (from == nullptr) return;
  SegmentView* to = SegmentFor(action, action.fields[1], *size, action.depth);
  if (to == nullptr) return;
  const double logAverage = ToneMapImage(from->bytes, size->width, size->height, to->bytes, action.depth,
                                         action.srgb ? SampleEncoding::Srgb : SampleEncoding::Linear);
  char text[128];
  std::snprintf(text, sizeof text, ", log-average luminance %.6f, key %.2f%s", logAverage, kToneMapKey,
                action.srgb ? ", from sRGB-encoded samples" : "");
  transcript_.Line("tone-mapped", QuoteText(action.fields[1]) + " " + SizeText(size->width, size->height, action.depth) + text);
}

void ImageStatements::Summarize(const Action& action) {
  const auto size = ResolveSize(action, 0);
  if (!size) return;
  const SegmentView* segment = SegmentFor(action, action.fields[0], *size, action.depth);
  if (segment == nullptr) return;
  for (const auto& [key, value] : SummarizeImage(segment->bytes, size->width, size->height, action.depth)) {
    transcript_.Line(key, key == "image-summary" ? QuoteText(action.fields[0]) + " " + value : value);
  }
}

void ImageStatements::Compare(const Action& action) {
  DecodedImage image;
  std::string error;
  if (!DecodeImageFile(action.fields[1], action.depth, image, error)) {
    Fail(action, QuoteText(action.fields[1]) + ": " + error);
    return;
  }
  transcript_.Line("image-file", QuoteText(action.fields[1]) + " " + std::to_string(image.width) + " x " +
                                     std::to_string(image.height));
  const ImageSize size{static_cast<std::uint64_t>(image.width), static_cast<std::uint64_t>(image.height)};
  const SegmentView* segment = SegmentFor(action, action.fields[0], size, action.depth);
  if (segment == nullptr) return;
  const size_t sampleBytes = static_cast<size_t>(action.depth / 8);
  const size_t samples = image.samples.size() / sampleBytes;
  size_t differing = 0, first = 0;
  for (size_t i = 0; i < samples; ++i) {
    if (std::memcmp(segment->bytes + i * sampleBytes, image.samples.data() + i * sampleBytes, sampleBytes) != 0) {
      if (differing++ == 0) first = i;
    }
  }
  if (differing != 0) {
    static const char* const channels[] = {"red", "green", "blue"};
    const size_t pixel = first / kSamplesPerPixel;
    Fail(action, "the segment " + QuoteText(action.fields[0]) + " differs from the file in " +
                     std::to_string(differing) + " of " + std::to_string(samples) + " samples; the first is " +
                     channels[first % kSamplesPerPixel] + " at " + std::to_string(pixel % size.width) + " " +
                     std::to_string(pixel / size.width) + ": " +
                     std::to_string(ReadSample(segment->bytes, first * sampleBytes, action.depth)) + " in the segment, " +
                     std::to_string(ReadSample(image.samples.data(), first * sampleBytes, action.depth)) + " in the file");
    return;
  }
  transcript_.Line("compare", "equal, " + SizeText(size.width, size.height, action.depth) + ", " +
                                  std::to_string(image.samples.size()) + " bytes");
}

std::optional<std::vector<std::wstring>> ImageStatements::Request(const Action& action) {
  const auto [key, value] = StatementLine(action);
  transcript_.Line(key, value);
  const std::wstring depth = Decimal(static_cast<std::uint64_t>(action.depth));
  if (action.kind == ActionKind::ReadRaw) {
    // The size learnt from an earlier ReadRaw no longer stands for what this one brings.
    readRawSize_.reset();
    const SegmentView* segment = segments_.Find(SegmentNameOf(action.fields[1]));
    if (segment == nullptr) {
      Fail(action, "this run holds no segment " + QuoteText(action.fields[1]) + " to receive the pixels");
      return std::nullopt;
    }
    const auto bytes = Resolve(action, action.quantities[0], action.fields[1]);
    if (!bytes) return std::nullopt;
    if (*bytes > segment->size) {
      Fail(action, "the segment " + QuoteText(action.fields[1]) + " has " + std::to_string(segment->size) +
                       " bytes, fewer than the " + std::to_string(*bytes) + " the request would announce");
      return std::nullopt;
    }
    return std::vector<std::wstring>{L"ReadRaw", action.fields[0], action.fields[1], Decimal(*bytes), depth};
  }
  const auto size = ResolveSize(action, 0);
  if (!size || SegmentFor(action, action.fields[1], *size, action.depth) == nullptr) return std::nullopt;
  const SegmentView* metadata = segments_.Find(SegmentNameOf(action.fields[2]));
  if (metadata == nullptr) {
    Fail(action, "this run holds no metadata segment " + QuoteText(action.fields[2]));
    return std::nullopt;
  }
  const auto length = Resolve(action, action.quantities[2], action.fields[2]);
  if (!length) return std::nullopt;
  if (*length > metadata->size) {
    Fail(action, "the metadata length " + std::to_string(*length) + " is beyond the segment " +
                     QuoteText(action.fields[2]) + " of " + std::to_string(metadata->size) + " bytes");
    return std::nullopt;
  }
  return std::vector<std::wstring>{L"SendImage",          action.fields[0], action.fields[1], Decimal(size->width),
                                   Decimal(size->height), depth,            action.fields[2], Decimal(*length)};
}

void ImageStatements::TakeReply(const Action& action, const Reply& reply) {
  const std::vector<std::wstring>& fields = reply.fields;
  if (fields.empty() || fields[0] != L"OK") {
    const std::string answer = fields.empty() ? std::string("an empty reply") : QuotedFields(fields);
    Fail(action, std::string(action.kind == ActionKind::ReadRaw ? "ReadRaw" : "SendImage") +
                     " was not done: the plug-in answered " + answer);
    return;
  }
  if (action.kind != ActionKind::ReadRaw) return;
  const auto width = fields.size() == 3 ? PositiveDecimal(fields[1]) : std::nullopt;
  const auto height = fields.size() == 3 ? PositiveDecimal(fields[2]) : std::nullopt;
  if (!width || !height) {
    Fail(action, "the reply to ReadRaw is not \"OK\" WIDTH HEIGHT: " + QuotedFields(fields));
    return;
  }
  // The plug-in has written the pixels by now: a size beyond the segment means they cannot all be there.
  const ImageSize size{*width, *height};
  if (SegmentFor(action, action.fields[1], size, action.depth) == nullptr) return;
  readRawSize_ = size;
  transcript_.Line("image-size", std::to_string(*width) + " x " + std::to_string(*height));
}

bool ImageStatements::Fail(const Action& action, const std::string& reason) {
  ++failures_;
  transcript_.Line("failed", "line " + std::to_string(action.line) + ": " + reason);
  status_(L"A statement failed (see the transcript)");
  return false;
}

std::optional<std::uint64_t> ImageStatements::Resolve(const Action& action, const Quantity& quantity,
                                                      const std::wstring& segment) {
  switch (quantity.placeholder) {
    case Placeholder::None:
      return quantity.value;
    case Placeholder::Width:
    case Placeholder::Height:
      if (!readRawSize_) {
        Fail(action, QuantityText(quantity) + " is not known: no ReadRaw has succeeded, or the last one failed");
        return std::nullopt;
      }
      return quantity.placeholder == Placeholder::Width ? readRawSize_->width : readRawSize_->height;
    case Placeholder::SegmentSize:
    case Placeholder::FilledLength: {
      const SegmentView* held = segments_.Find(SegmentNameOf(segment));
      if (held == nullptr) {
        Fail(action, QuantityText(quantity) + ": this run holds no segment " + QuoteText(segment));
        return std::nullopt;
      }
      if (quantity.placeholder == Placeholder::SegmentSize) return held->size;
      if (!held->filledLength) {
        Fail(action, "$length: nothing has been filled into the segment " + QuoteText(segment));
        return std::nullopt;
      }
      return held->filledLength;
    }
  }
  return std::nullopt;
}

std::optional<ImageStatements::ImageSize> ImageStatements::ResolveSize(const Action& action, size_t first) {
  const auto width = Resolve(action, action.quantities[first], std::wstring());
  if (!width) return std::nullopt;
  const auto height = Resolve(action, action.quantities[first + 1], std::wstring());
  if (!height) return std::nullopt;
  return ImageSize{*width, *height};
}

SegmentView* ImageStatements::SegmentFor(const Action& action, const std::wstring& name, const ImageSize& size,
                                         int depth) {
  SegmentView* segment = segments_.Find(SegmentNameOf(name));
  if (segment == nullptr) {
    Fail(action, "this run holds no segment " + QuoteText(name));
    return nullptr;
  }
  std::uint64_t bytes = 0;
  if (!ImageByteCount(static_cast<std::int64_t>(size.width), static_cast<std::int64_t>(size.height), depth, &bytes)) {
    Fail(action, "an image of " + SizeText(size.width, size.height, depth) + " is too large");
    return nullptr;
  }
  if (bytes > segment->size) {
    Fail(action, "an image of " + SizeText(size.width, size.height, depth) + " needs " + std::to_string(bytes) +
                     " bytes, the segment " + QuoteText(name) + " has " + std::to_string(segment->size));
    return nullptr;
  }
  return segment;
}

}  // namespace zk
