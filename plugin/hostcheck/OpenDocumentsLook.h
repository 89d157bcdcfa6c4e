// A look at the open documents by their identifiers ('DocI'): which the check's own actions
// added, and whether the person's documents are as they were. Read property by property, so that
// a host's heavy whole documents are not read again and again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DocumentState {
  uint32_t id = 0;
  bool dirty = false;
};

struct OpenDocumentsLook {
  int32_t status = 0;  // of the first read that failed; 0 when every document was read
  std::vector<DocumentState> documents;
  bool hasTarget = false;
  uint32_t target = 0;
};

OpenDocumentsLook LookAtOpenDocuments();

// The documents in after that were not in before: the ones an action added. Empty when either look
// is incomplete, since then nobody can tell whose a document is.
std::vector<uint32_t> AddedDocuments(const OpenDocumentsLook& before, const OpenDocumentsLook& after);

// How the documents of before are now: "as they were", or what changed.
std::string DocumentsAsTheyWere(const OpenDocumentsLook& before, const OpenDocumentsLook& now);
