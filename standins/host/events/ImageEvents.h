// The events plug-ins play on the host's documents, registered on a host together: 'Opn ' through
// the raw converter, 'Expr' and 'Impr' through the export and import plug-ins, 'slct', 'Cls ' and
// 'Mk  ' (a new, empty document). The handlers work on the document model and remember what the imports made.
//
//   zk::StandInHost host;
//   zk::DocumentModel documents;
//   documents.AttachTo(host);              // Get
//   zk::ImageEvents events(host, documents);  // Play; both must outlive the host's use of them
//   ... a plug-in plays 'Impr' ...
//   events.Imported();                     // the documents made, in order
#pragma once

#include "DocumentModel.h"
#include "ImportPlugin.h"
#include "StandInHost.h"

#include <vector>

namespace zk {

class ImageEvents {
 public:
  ImageEvents(StandInHost& host, DocumentModel& documents);
  ImageEvents(const ImageEvents&) = delete;  // the host's handlers point at this object
  ImageEvents& operator=(const ImageEvents&) = delete;

  // Every document an 'Impr' made during the run, also those closed since.
  const std::vector<MadeDocument>& Imported() const { return imported_; }

  // Every document the raw converter opens from now on gets unsaved changes right after it opens,
  // as when a person works on it while the companion runs.
  void EditRawDocuments(bool edit) { editRawDocuments_ = edit; }

 private:
  std::vector<MadeDocument> imported_;
  bool editRawDocuments_ = false;
};

}  // namespace zk
