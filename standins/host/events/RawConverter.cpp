#include "RawConverter.h"

#include "AliasBytes.h"
#include "DocumentImage.h"
#include "EventParameters.h"
#include "FourCCText.h"
#include "GradientFiles.h"
#include "HostCodes.h"
#include "HostStatus.h"
#include "ImageFiles.h"
#include "ImageSamples.h"
#include "TextConvert.h"
#include "WindowsOwners.h"

#include <windows.h>

#include <vector>

namespace zk {
namespace {

constexpr DescriptorKeyID keyNull = FourCC("null");
constexpr DescriptorKeyID keyAs = FourCC("As  ");
constexpr DescriptorKeyID keyBitDepth = FourCC("BtDp");
constexpr DescriptorEnumTypeID typeBitDepth = FourCC("BtDp");
constexpr DescriptorEnumID enumBitDepth16 = FourCC("BD16");
constexpr DescriptorEnumID enumBitDepth8 = FourCC("BD8 ");
constexpr OSErr kFileNotFound = -43;  // the system's status for a file that is not there

// The path as the file system spells it (its letter case, '\' between names, its long names, the
// drive letter the system picks for its folder), which may differ from how the open asked for it;
// the path as asked when the file cannot be opened to ask.
std::wstring SpelledAsOnDisk(const std::wstring& path) {
  const UniqueFile file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  std::vector<wchar_t> spelled(32768, L'\0');
  const DWORD length = file ? GetFinalPathNameByHandleW(file.Get(), spelled.data(), DWORD(spelled.size()), 0) : 0;
  if (length == 0 || length >= spelled.size()) return path;
  std::wstring text(spelled.data(), length);
  if (text.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + text.substr(8);
  if (text.rfind(L"\\\\?\\", 0) == 0) return text.substr(4);
  return text;
}

// The open's result on success: the opened file, and the settings it opened with.
void PutOpenedResult(TypeIdTable& typeIds, const HostDocument& document, NarrowTexts narrow, DescriptorData* result) {
  ActionValue file;
  file.type = typeAlias;
  file.bytes = FileReferenceBytes(document.file, narrow);
  result->Put(keyNull, file);
  ActionValue depth;
  depth.type = typeEnumerated;
  depth.classId = typeBitDepth;
  depth.enumValue = document.depth == 16 ? enumBitDepth16 : enumBitDepth8;
  auto settings = std::make_shared<DescriptorData>();
  settings->Put(keyBitDepth, depth);
  ActionValue as;
  as.type = typeObject;
  as.classId = typeIds.ToTypeId(kRawConverterStringId);
  as.object = std::move(settings);
  result->Put(keyAs, as);
}

// The converter's dialog, when the host shows it: false when the person does not choose OK.
bool PersonOpens(StandInHost& host, const std::wstring& path, PIDialogPlayOptions options) {
  if (!host.Answers().rawConverterDialog || options == plugInDialogSilent) return true;
  const std::wstring text = L"Open \"" + path + L"\" at the settings shown?";
  return MessageBoxW(host.MainWindowHandle(), text.c_str(), kRawConverterDialogCaption, MB_OKCANCEL) == IDOK;
}

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
std::string ConverterMetadata(const std::string& path, const ImageFileFacts& facts, int64_t width, int64_t height,
                              int32_t depth) {
  return "Stand-in raw converter\n"
         "Source file: " + path + "\n"
         "Source samples: " + std::to_string(facts.channels) + " channel(s) of " + std::to_string(facts.depth) +
         " bits\n"
         "Opened as: " + std::to_string(width) + " x " + std::to_string(height) + " pixels, RGB, " +
         std::to_string(depth) + " bits per channel, " + std::to_string(int(kRawConverterResolution)) +
         " pixels per inch\n"
         "This text stands in for what a raw converter keeps with a picture (camera, lens, exposure and its "
         "development settings). The host hands it on to export plug-ins unread.\n";
}

}  // namespace

OSErr PlayRawConverterOpen(StandInHost& host, DocumentModel& documents, const DescriptorData* parameters,
                           PIDialogPlayOptions options, DescriptorData* result) {
  const HostAnswers& answers = host.Answers();
  EventParameters open(parameters);
  AliasContent alias;
  int32_t depth = 0;
  if (!open.Alias(keyNull, answers.narrowTexts, &alias) || !RequestedDepth(host.TypeIds(), open, &depth)) {
    return FailPlay(result, kStandInParamError, open.Problem());
  }
  const std::wstring widePath(alias.path.begin(), alias.path.end());
  const std::string path = WideToUtf8(widePath);
  // A cancelled open answers success with an empty result, and nothing changes.
  if (answers.cancelEveryRawOpen || !PersonOpens(host, widePath, options)) return 0;
  if (alias.cloud) {
    return FailPlay(result, kFileNotFound, "Could not open \"" + path + "\": it is no file on this system.");
  }
  const HostDocument* already = answers.rawOpenAgain ? nullptr : documents.ByFile(path);
  if (already) {
    documents.Activate(already->id);
    PutOpenedResult(host.TypeIds(), *already, answers.narrowTexts, result);
    return 0;
  }

  if (GetFileAttributesW(widePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return FailPlay(result, kFileNotFound, "Could not open \"" + path + "\": there is no such file.");
  }
  // A gradient file's pixels are made when they are exported: the document holds none of its own.
  ImagePixels image;
  ImageFileFacts facts;
  std::string error;
  GradientFile gradient;
  bool isGradient = false;
  if (ReadGradientFile(widePath, &gradient, &isGradient, &error)) {
    image.width = gradient.width;
    image.height = gradient.height;
    image.depth = gradient.depth;
    facts = ImageFileFacts{kSamplesPerPixel, gradient.depth};
  } else if (isGradient || !ReadImageFile(widePath, &image, &error, &facts)) {
    return FailPlay(result, kStandInParamError, "Could not open \"" + path + "\": " + error + ".");
  }
  if (depth == 0 || answers.rawOwnDepth) depth = image.depth;
  if (depth != image.depth && !image.samples.empty()) {
    image.samples = ConvertSampleDepth(image.samples, image.depth, depth);
  }
  image.depth = depth;

  // As the file system names the file, or as the open asked for it (HostAnswers.h).
  const std::string spelled = answers.rawFileNamesAsAsked ? path : WideToUtf8(SpelledAsOnDisk(widePath));
  HostDocument document;
  document.title = FileNameOf(spelled);
  document.file = spelled;
  document.unit = unitDistance;
  document.resolution = kRawConverterResolution;
  document.width = double(image.width) * 72.0 / kRawConverterResolution;
  document.height = double(image.height) * 72.0 / kRawConverterResolution;
  document.depth = depth;
  document.dirty = false;
  document.metadata = ConverterMetadata(spelled, facts, image.width, image.height, depth);
  document.samples = std::move(image.samples);
  const uint32_t id = documents.Open(std::move(document));
  PutOpenedResult(host.TypeIds(), *documents.ById(id), answers.narrowTexts, result);
  return 0;
}

}  // namespace zk
