// The documents open in the stand-in host, and how ActionControl.Get sees them: the application
// object (its document count) and each document (title, file, size, resolution, depth, unsaved
// changes, identifier), by target, by index or by identifier, whole or one property.
//
//   zk::DocumentModel documents;
//   documents.Open(zk::HostDocument{"Sunset.psd", "C:\\photos\\Sunset.psd", 4000, 3000});
//   documents.AttachTo(host);   // the host's Get now resolves against these documents
// The events plug-ins play on documents (open, export, import, select, close) are registered by
// ImageEvents (events/ImageEvents.h).
#pragma once

#include "ActionValue.h"
#include "HostAnswers.h"
#include "HostCodes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zk {

class StandInHost;

struct HostDocument {
  std::string title;
  std::string file;                    // full path; empty for a document never saved
  double width = 0;                    // in unit
  double height = 0;
  DescriptorUnitID unit = unitPixels;  // unitPixels, or unitDistance (1/72 inch)
  double resolution = 72;              // pixels per inch
  // 'Rslt' is handed out as the host types it, a unit double in '#Rsl'; true hands it out as a
  // plain double instead, as some hosts' older descriptors do.
  bool plainResolution = false;
  int32_t depth = 8;                   // bits per channel
  bool dirty = false;                  // unsaved changes
  uint32_t id = 0;                     // given when the document opens; never given twice in a process
  // The pixels, in the layout of ImageSamples.h at the document's depth and its size in pixels
  // (DocumentImage.h); empty for a document described only by text (ParseDocumentSpec) or opened
  // from a gradient file (GradientFiles.h), which has none of its own.
  std::vector<uint8_t> samples = {};
  std::string metadata = {};           // bytes the host keeps with the picture and hands on unread
  bool cloud = false;                  // file is a cloud path: no file on this system
};

class DocumentModel {
 public:
  // Opens the document after the others (host order) and makes it the target; returns its id.
  uint32_t Open(HostDocument document);
  bool Close(uint32_t id);
  const std::vector<HostDocument>& Documents() const { return documents_; }
  const HostDocument* Target() const;
  const HostDocument* ById(uint32_t id) const;
  // The document of that file, however either path names it (a file that exists is found by its
  // identity; other paths are compared by spelling, letter case and '/' against '\' aside); never
  // a document without a file, nor a cloud document.
  const HostDocument* ByFile(const std::string& file) const;
  bool Activate(uint32_t id);                                 // makes it the target
  // Puts the document at that index (0-based) in the host's order, as a person who drags its tab:
  // the order of documents is then not the order they were opened in. The target stays.
  bool MoveTo(uint32_t id, size_t index);
  bool SetUnsavedChanges(uint32_t id, bool changed);          // as a person's edit or save does
  // "Untitled-N" for the lowest N from 1 up that no open document has as its title.
  std::string UnusedUntitledTitle() const;
  // The document one reference element names (target, index, identifier or name); null with a
  // status when there is none.
  const HostDocument* Find(const ReferenceElement& element, OSErr* status) const;

  DescriptorData ApplicationDescriptor() const;
  DescriptorData DocumentDescriptor(const HostDocument& document) const;

  // What Get answers for a reference: the whole object, or the property its first element names.
  OSErr Resolve(const ReferenceData& reference, DescriptorData* result) const;
  // Makes this model the one the host's Get resolves against, answering as the host's answers
  // say (HostAnswers.h); the model and the host must outlive that use.
  void AttachTo(StandInHost& host);

 private:
  const HostAnswers& Answers() const;

  std::vector<HostDocument> documents_;
  const StandInHost* host_ = nullptr;
  size_t target_ = 0;  // index into documents_
};

// One document from text: fields "key=value" separated by '|' (a character no Windows path has):
//   title=Sunset.psd|file=C:\photos\Sunset.psd|width=72|height=48|unit=distance|resolution=300|depth=16|dirty=yes
// title is required; file empty or absent: never saved; unit "pixels" (default) or "distance";
// cloud=yes: file is a cloud path, the document has no file on this system.
bool ParseDocumentSpec(const std::string& text, HostDocument* document, std::string* error);

}  // namespace zk
