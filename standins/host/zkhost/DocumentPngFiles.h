// zkhost's --write-documents: every open document written as a PNG file, so that a run's results
// can be looked at and compared after the host has ended.
#pragma once

#include "DocumentModel.h"

#include <set>
#include <string>
#include <vector>

namespace zk {

struct WrittenDocument {
  std::string title;
  std::wstring path;
  std::string error;  // empty: written
};

// A file name for a document's PNG from its title: characters no Windows file name may hold become
// '_', a device name (CON, NUL, ...) gets a leading '_', ".png" is added unless the title ends in
// it; a name already used (in any case) gets " (id N)" before the extension. used keeps the
// names given so far, in lower case.
std::wstring PngFileNameForTitle(const std::string& title, uint32_t id, std::set<std::wstring>* used);

// Writes each open document into folder (made when missing) at its own depth; a document without
// pixels of its own is written as the gradient the export plug-in would give.
std::vector<WrittenDocument> WriteDocumentsAsPng(const DocumentModel& documents, const std::wstring& folder);

}  // namespace zk
