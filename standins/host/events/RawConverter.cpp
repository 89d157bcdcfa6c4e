#include "RawConverter.h"

#include "DocumentImage.h"
#include "EventParameters.h"
#include "FourCCText.h"
#include "HostCodes.h"
#include "HostStatus.h"
#include "ImageFiles.h"
#include "TextConvert.h"

#include <windows.h>

namespace zk {
namespace {

constexpr DescriptorKeyID keyNull = FourCC("null");
constexpr DescriptorKeyID keyAs = FourCC("As  ");
constexpr DescriptorKeyID keyBitDepth = FourCC("BtDp");
constexpr DescriptorEnumTypeID typeBitDepth = FourCC("BtDp");
constexpr DescriptorEnumID enumBitDepth16 = FourCC("BD16");
constexpr DescriptorEnumID enumBitDepth8 = FourCC("BD8 ");
constexpr OSErr kFileNotFound = -43;  // the system's status for a file that is not there

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The depth the converter was asked for: 0 for the file's own.
bool RequestedDepth(TypeIdTable& typeIds, EventParameters& parameters, int32_t* depth) {
  *depth = 0;
  if (!parameters.Has(keyAs)) return true;
  const DescriptorData* settings = nullptr;
  if (!parameters.Object(keyAs, typeIds.ToTypeId(kRawConverterStringId), &settings)) return false;
  EventParameters converter(settings);
  if (!converter.Has(keyBitDepth)) return true;
  DescriptorEnumID value = 0;
  if (!converter.Enumerated(keyBitDepth, typeBitDepth, &value)) return parameters.Refuse(converter.Problem());
  if (value != enumBitDepth16 && value != enumBitDepth8) {
    return parameters.Refuse("The raw converter opens at 'BD16' or 'BD8 ', not " + FourCCText(value) + ".");
  }
  *depth = value == enumBitDepth16 ? 16 : 8;
  return true;
}

// What the converter keeps with the picture; a few hundred bytes, so that an export hands it over
// in more than one piece.
std::string ConverterMetadata(const std::string& path, const ImageFileFacts& facts, const ImagePixels& image) {
  return "Stand-in raw converter\n"
         "Source file: " + path + "\n"
         "Source samples: " + std::to_string(facts.channels) + " channel(s) of " + std::to_string(facts.depth) +
         " bits\n"
         "Opened as: " + std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels, RGB, " +
         std::to_string(image.depth) + " bits per channel, " + std::to_string(int(kRawConverterResolution)) +
         " pixels per inch\n"
         "This text stands in for what a raw converter keeps with a picture (camera, lens, exposure and its "
         "development settings). The host hands it on to export plug-ins unread.\n";
}

}  // namespace

OSErr PlayRawConverterOpen(TypeIdTable& typeIds, DocumentModel& documents, const DescriptorData* parameters,
                           DescriptorData* result) {
  EventParameters open(parameters);
  std::string path;
  int32_t depth = 0;
  if (!open.AliasPath(keyNull, &path) || !RequestedDepth(typeIds, open, &depth)) {
    return FailPlay(result, kStandInParamError, open.Problem());
  }
  ActionValue id;
  id.type = typeInteger;
  if (const HostDocument* already = documents.ByFile(path)) {
    documents.Activate(already->id);
    id.integer = already->id;
    result->Put(keyDocumentID, id);
    return 0;
  }

  // The alias holds the path as 8-bit text; the stand-in reads all its text as UTF-8.
  const std::wstring widePath = Utf8ToWide(path);
  if (GetFileAttributesW(widePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return FailPlay(result, kFileNotFound, "Could not open \"" + path + "\": there is no such file.");
  }
  ImagePixels image;
  ImageFileFacts facts;
  std::string error;
  if (!ReadImageFile(widePath, &image, &error, &facts)) {
    return FailPlay(result, kStandInParamError, "Could not open \"" + path + "\": " + error + ".");
  }
  if (depth == 0) depth = image.depth;
  image.samples = ConvertSampleDepth(image.samples, image.depth, depth);
  image.depth = depth;

  HostDocument document;
  document.title = FileNameOf(path);
  document.file = path;
  document.unit = unitDistance;
  document.resolution = kRawConverterResolution;
  document.width = double(image.width) * 72.0 / kRawConverterResolution;
  document.height = double(image.height) * 72.0 / kRawConverterResolution;
  document.depth = depth;
  document.dirty = false;
  document.metadata = ConverterMetadata(path, facts, image);
  document.samples = std::move(image.samples);
  id.integer = documents.Open(std::move(document));
  result->Put(keyDocumentID, id);
  return 0;
}

}  // namespace zk
