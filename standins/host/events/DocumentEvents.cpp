#include "DocumentEvents.h"

#include "EventParameters.h"
#include "HostCodes.h"
#include "HostStatus.h"

#include <cmath>
#include <string>

namespace zk {
namespace {

constexpr DescriptorKeyID keyNull = FourCC("null");
constexpr DescriptorKeyID keySaving = FourCC("Svng");
constexpr DescriptorEnumTypeID typeYesNo = FourCC("YsN ");
constexpr DescriptorEnumID enumNo = FourCC("N   ");
// The largest side the stand-in makes, in pixels: a new document is a description, not pixels.
constexpr int64_t kLargestSide = 300000;

// A side of the new document in the unit given; false (and a problem) when it is no whole number
// of pixels the host makes.
bool NewSide(EventParameters& parameters, DescriptorKeyID key, double resolution, double* value,
             DescriptorUnitID* unit) {
  if (!parameters.UnitFloat(key, unit, value)) return false;
  if (*unit != unitPixels && *unit != unitDistance) {
    return parameters.Refuse("The new document's sides are in '#Pxl' or '#Rlt'.");
  }
  const double pixels = *unit == unitDistance ? *value * resolution / 72.0 : *value;
  int64_t count = 0;
  if (!IsWholeCount(std::floor(pixels + 0.5), kLargestSide, &count)) {
    return parameters.Refuse("A new document is 1 to " + std::to_string(kLargestSide) + " pixels a side, not " +
                             NumberText(pixels) + ".");
  }
  return true;
}

// The document the 'null' reference names; null with the play's failure in result.
const HostDocument* NamedDocument(const DocumentModel& documents, EventParameters& parameters, DescriptorData* result,
                                  OSErr* status) {
  const ReferenceData* reference = nullptr;
  if (!parameters.Reference(keyNull, &reference)) {
    *status = FailPlay(result, kStandInParamError, parameters.Problem());
    return nullptr;
  }
  const ReferenceElement& element = reference->elements.front();
  OSErr unused = 0;
  const HostDocument* document = element.desiredClass == classDocument ? documents.Find(element, &unused) : nullptr;
  if (!document) *status = FailPlay(result, kStandInNoSuchObject, "There is no such document.");
  return document;
}

}  // namespace

OSErr PlayMake(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result) {
  EventParameters make(parameters);
  const DescriptorData* settings = nullptr;
  if (!make.Object(keyNew, classDocument, &settings)) return FailPlay(result, kStandInParamError, make.Problem());
  EventParameters asked(settings);
  HostDocument document;
  DescriptorUnitID resolutionUnit = unitDensity;
  if (asked.Has(keyResolution) && !asked.UnitFloat(keyResolution, &resolutionUnit, &document.resolution)) {
    return FailPlay(result, kStandInParamError, asked.Problem());
  }
  if (!(document.resolution > 0)) return FailPlay(result, kStandInParamError, "The resolution must be positive.");
  DescriptorUnitID heightUnit = 0;
  if (!NewSide(asked, keyWidth, document.resolution, &document.width, &document.unit) ||
      !NewSide(asked, keyHeight, document.resolution, &document.height, &heightUnit)) {
    return FailPlay(result, kStandInParamError, asked.Problem());
  }
  if (heightUnit != document.unit) {
    // One unit serves both sides in the model: the height is kept in the width's.
    document.height = heightUnit == unitDistance ? document.height * document.resolution / 72.0
                                                 : document.height * 72.0 / document.resolution;
  }
  if (asked.Has(keyDepth) && !asked.Integer(keyDepth, &document.depth)) {
    return FailPlay(result, kStandInParamError, asked.Problem());
  }
  if (document.depth != 8 && document.depth != 16) {
    return FailPlay(result, kStandInParamError, "The stand-in host makes documents of 8 or 16 bits per channel.");
  }
  if (asked.Has(keyName) && !asked.Text(keyName, &document.title)) {
    return FailPlay(result, kStandInParamError, asked.Problem());
  }
  if (document.title.empty()) document.title = documents.UnusedUntitledTitle();
  documents.Open(std::move(document));
  return 0;
}

OSErr PlaySelect(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result) {
  EventParameters select(parameters);
  OSErr status = 0;
  const HostDocument* document = NamedDocument(documents, select, result, &status);
  if (!document) return status;
  documents.Activate(document->id);
  return 0;
}

OSErr PlayClose(DocumentModel& documents, const DescriptorData* parameters, DescriptorData* result) {
  EventParameters close(parameters);
  DescriptorEnumID saving = 0;
  if (close.Has(keySaving) && !close.Enumerated(keySaving, typeYesNo, &saving)) {
    return FailPlay(result, kStandInParamError, close.Problem());
  }
  OSErr status = 0;
  const HostDocument* document = documents.Target();
  if (close.Has(keyNull)) {
    document = NamedDocument(documents, close, result, &status);
    if (!document) return status;
  }
  if (!document) return FailPlay(result, kStandInNoSuchObject, "There is no document to close.");
  // The host would ask the user whether to save a document with unsaved changes; the stand-in
  // shows no such question and refuses the close instead, so a run never waits on it.
  if (document->dirty && saving != enumNo) {
    return FailPlay(result, kStandInParamError,
                    "\"" + document->title + "\" has unsaved changes; the stand-in host closes it only without saving "
                    "('Svng' 'N   ').");
  }
  documents.Close(document->id);
  return 0;
}

}  // namespace zk
