// What the bridge keeps of the raw files it opened for the companion, for the module's life: which
// files its raw opens found open already, which documents those opens added, and the metadata
// captured for each file. One record lives as long as the module, across bridge runs, and the
// request handlers are handed it; every host operation that reads or writes it takes it. Main
// thread only, as every host operation.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "HostTypes.h"
#include "MetadataBytes.h"
#include "SameFile.h"

namespace ZentrastMisc {
namespace AutomationUtils {

// Raw file path ('/' replaced by '\') → true when its open left the number of open documents
// unchanged (the file was open already), false when the open added a document. A file is found
// by what it is, however it is named (SameFile.h): "C:\Fotos\a.CR2", "c:/fotos/A.cr2" and its
// short name are one entry. An entry is written once and never overwritten.
using LoadedRawFileMap = std::map<std::string, bool, WindowsPathOrder>;

// A document one of the bridge's own raw opens added: its identifier ('DocI'), which the host
// never gives another document, and the LoadedRawFiles key of its file. The bridge closes these
// and no others: a document of the person's is never taken for one of them, whatever the host's
// order of documents or its spelling of their files.
struct OpenedRawDocument {
  uint32_t id;
  std::string file;
};

// Raw file path, as the companion first sent it → the metadata captured for it. A file is found by
// what it is, however it is named. Entries are added or replaced, never removed.
using RawFileMetadataMap = std::map<std::string, MetadataBytes, WindowsPathOrder>;

struct RawFileRecords {
  LoadedRawFileMap LoadedRawFiles;
  // The documents the bridge's raw opens added and that it has not closed yet, oldest first.
  std::vector<OpenedRawDocument> OpenedRawDocuments;
  RawFileMetadataMap RawFileMetadata;
};

// Records what a raw open of windowsPath did: the file's entry, if it has none yet (open already
// when the open added no document), and the document it added, by its identifier.
void RecordRawLoad(RawFileRecords& records, const std::string& windowsPath, bool added, uint32_t addedDocument);

// Whether the document is one the bridge's raw opens added and has not closed yet.
bool IsOpenedRawDocument(const RawFileRecords& records, uint32_t id);
// Forgets the document (closed, or gone); its file's entry goes too once no document of it is left,
// unless its first open found the file open already: that entry stays, its document is closed
// after each export.
void ForgetOpenedRawDocument(RawFileRecords& records, uint32_t id);

// The LoadedRawFiles value stored for path's file (found as a file: SameFile.h); false if none.
bool LoadedRawFileFlag(const RawFileRecords& records, const std::string& path);

// Stores the metadata for path's file, replacing what was stored for it under any of its names.
void StoreRawFileMetadata(RawFileRecords& records, const std::string& path, const MetadataBytes& bytes);
// Whether metadata is stored for name's file.
bool HasRawFileMetadata(const RawFileRecords& records, const std::string& name);
// The metadata stored for name's file; empty when there is none (ask HasRawFileMetadata first).
const MetadataBytes& GetRawFileMetadata(const RawFileRecords& records, const std::string& name);

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
