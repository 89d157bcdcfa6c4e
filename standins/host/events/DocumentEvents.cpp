#include "DocumentEvents.h"

#include "EventParameters.h"
#include "HostCodes.h"
#include "HostStatus.h"

namespace zk {
namespace {

constexpr DescriptorKeyID keyNull = FourCC("null");
constexpr DescriptorKeyID keySaving = FourCC("Svng");
constexpr DescriptorEnumTypeID typeYesNo = FourCC("YsN ");
constexpr DescriptorEnumID enumNo = FourCC("N   ");

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
