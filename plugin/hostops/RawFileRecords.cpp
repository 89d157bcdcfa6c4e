#include "RawFileRecords.h"

#include <algorithm>

namespace ZentrastMisc {
namespace AutomationUtils {

void RecordRawLoad(RawFileRecords& records, const std::string& windowsPath, bool added, uint32_t addedDocument) {
  auto entry = FindSameFile(records.LoadedRawFiles, windowsPath);
  if (entry == records.LoadedRawFiles.end()) entry = records.LoadedRawFiles.emplace(windowsPath, !added).first;
  if (added) records.OpenedRawDocuments.push_back({addedDocument, entry->first});
}

bool IsOpenedRawDocument(const RawFileRecords& records, uint32_t id) {
  const std::vector<OpenedRawDocument>& opened = records.OpenedRawDocuments;
  return std::any_of(opened.begin(), opened.end(), [&](const OpenedRawDocument& document) { return document.id == id; });
}

void ForgetOpenedRawDocument(RawFileRecords& records, uint32_t id) {
  std::vector<OpenedRawDocument>& opened = records.OpenedRawDocuments;
  const auto document =
      std::find_if(opened.begin(), opened.end(), [&](const OpenedRawDocument& each) { return each.id == id; });
  if (document == opened.end()) return;
  const std::string file = document->file;
  opened.erase(document);
  const bool more =
      std::any_of(opened.begin(), opened.end(), [&](const OpenedRawDocument& each) { return each.file == file; });
  const auto entry = records.LoadedRawFiles.find(file);
  if (!more && entry != records.LoadedRawFiles.end() && !entry->second) records.LoadedRawFiles.erase(entry);
}

bool LoadedRawFileFlag(const RawFileRecords& records, const std::string& path) {
  const auto found = FindSameFile(records.LoadedRawFiles, path);
  return found != records.LoadedRawFiles.end() && found->second;
}

void StoreRawFileMetadata(RawFileRecords& records, const std::string& path, const MetadataBytes& bytes) {
  const auto found = FindSameFile(records.RawFileMetadata, path);
  if (found != records.RawFileMetadata.end()) {
    found->second = bytes;
  } else {
    records.RawFileMetadata.emplace(path, bytes);
  }
}

bool HasRawFileMetadata(const RawFileRecords& records, const std::string& name) {
  return FindSameFile(records.RawFileMetadata, name) != records.RawFileMetadata.end();
}

const MetadataBytes& GetRawFileMetadata(const RawFileRecords& records, const std::string& name) {
  static const MetadataBytes none;
  const auto found = FindSameFile(records.RawFileMetadata, name);
  return found != records.RawFileMetadata.end() ? found->second : none;
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
