#include "ImageEvents.h"

#include "DocumentEvents.h"
#include "ExportPlugin.h"
#include "RawConverter.h"

namespace zk {

ImageEvents::ImageEvents(StandInHost& host, DocumentModel& documents) {
  TypeIdTable& typeIds = host.TypeIds();
  host.RegisterEvent(FourCC("Opn "), [this, &host, &documents](DescriptorEventID, const DescriptorData* parameters,
                                                               PIDialogPlayOptions options, DescriptorData* result) {
    const size_t before = documents.Documents().size();
    const OSErr status = PlayRawConverterOpen(host, documents, parameters, options, result);
    // Only a document this open made: one that was open already is left as the person left it.
    if (status == 0 && editRawDocuments_ && documents.Documents().size() > before) {
      documents.SetUnsavedChanges(documents.Target()->id, true);
    }
    return status;
  });
  host.RegisterEvent(FourCC("Expr"), [&typeIds, &documents](DescriptorEventID, const DescriptorData* parameters,
                                                            PIDialogPlayOptions, DescriptorData* result) {
    return PlayExport(typeIds, documents, parameters, result);
  });
  host.RegisterEvent(FourCC("Impr"), [this, &typeIds, &documents](DescriptorEventID, const DescriptorData* parameters,
                                                                  PIDialogPlayOptions, DescriptorData* result) {
    MadeDocument made;
    const OSErr status = PlayImport(typeIds, documents, parameters, result, &made);
    if (status == 0) imported_.push_back(made);
    return status;
  });
  host.RegisterEvent(FourCC("slct"), [&documents](DescriptorEventID, const DescriptorData* parameters,
                                                  PIDialogPlayOptions, DescriptorData* result) {
    return PlaySelect(documents, parameters, result);
  });
  host.RegisterEvent(eventMake, [&documents](DescriptorEventID, const DescriptorData* parameters,
                                                  PIDialogPlayOptions, DescriptorData* result) {
    return PlayMake(documents, parameters, result);
  });
  host.RegisterEvent(FourCC("Cls "), [&documents](DescriptorEventID, const DescriptorData* parameters,
                                                  PIDialogPlayOptions, DescriptorData* result) {
    return PlayClose(documents, parameters, result);
  });
}

}  // namespace zk
