#include "OpenDocumentsLook.h"

#include <algorithm>

#include "DescriptorHelpers.h"
#include "DocumentCount.h"
#include "HostCodes.h"

namespace {

using ZentrastMisc::AutomationUtils::OpenDocumentCount;

const DocumentState* Find(const OpenDocumentsLook& look, uint32_t id) {
  for (const DocumentState& document : look.documents) {
    if (document.id == id) return &document;
  }
  return nullptr;
}

}  // namespace

OpenDocumentsLook LookAtOpenDocuments() {
  OpenDocumentsLook look;
  int32_t count = 0;
  look.status = OpenDocumentCount(&count);
  for (int32_t index = 1; look.status == 0 && index <= count; ++index) {
    int32_t id = 0;
    Boolean dirty = true;
    look.status = PIUGetInfoByIndex(uint32_t(index), classDocument, keyDocumentID, &id, nullptr);
    if (look.status == 0) look.status = PIUGetInfoByIndex(uint32_t(index), classDocument, keyIsDirty, &dirty, nullptr);
    if (look.status == 0) look.documents.push_back({uint32_t(id), dirty != 0});
  }
  int32_t target = 0;
  look.hasTarget = count > 0 && PIUGetTargetInfo(classDocument, keyDocumentID, &target, nullptr) == 0;
  look.target = uint32_t(target);
  return look;
}

std::vector<uint32_t> AddedDocuments(const OpenDocumentsLook& before, const OpenDocumentsLook& after) {
  std::vector<uint32_t> added;
  if (before.status != 0 || after.status != 0) return added;
  for (const DocumentState& document : after.documents) {
    if (Find(before, document.id) == nullptr) added.push_back(document.id);
  }
  return added;
}

std::string DocumentsAsTheyWere(const OpenDocumentsLook& before, const OpenDocumentsLook& now) {
  if (before.status != 0 || now.status != 0) return "cannot tell: the documents could not all be read";
  std::string changes;
  for (const DocumentState& document : before.documents) {
    const DocumentState* found = Find(now, document.id);
    if (found == nullptr) {
      changes += (changes.empty() ? "" : "; ") + std::string("document ") + std::to_string(document.id) + " is gone";
    } else if (found->dirty != document.dirty) {
      changes += (changes.empty() ? "" : "; ") + std::string("document ") + std::to_string(document.id) +
                 (found->dirty ? " has unsaved changes now" : " has no unsaved changes now");
    }
  }
  return changes.empty() ? "as they were" : changes;
}
