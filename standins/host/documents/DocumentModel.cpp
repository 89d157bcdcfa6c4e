#include "DocumentModel.h"

#include "AliasBytes.h"
#include "HostStatus.h"
#include "StandInHost.h"
#include "TextConvert.h"
#include "WindowsOwners.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace zk {
namespace {

ActionValue Integer(int64_t value) {
  ActionValue v;
  v.type = typeInteger;
  v.integer = value;
  return v;
}

ActionValue Float(double value) {
  ActionValue v;
  v.type = typeFloat;
  v.number = value;
  return v;
}

ActionValue UnitFloat(DescriptorUnitID unit, double value) {
  ActionValue v;
  v.type = typeUnitFloat;
  v.unit = unit;
  v.number = value;
  return v;
}

ActionValue Text(const std::string& text) {
  ActionValue v;
  v.type = typeChar;
  v.bytes = text;
  return v;
}

ActionValue Flag(bool flag) {
  ActionValue v;
  v.type = typeBoolean;
  v.flag = flag;
  return v;
}

// A document's file reference: the file's path in the old 8-bit form (AliasBytes.h), typed as the
// host's answers say; a cloud document's names its cloud path, which is no file (and no text).
ActionValue FileReference(const HostDocument& document, const HostAnswers& answers) {
  ActionValue v;
  v.type = document.cloud ? typeAlias : answers.fileReferenceType;
  v.bytes = document.cloud ? WideAliasBytes(Utf8ToUtf16(document.file), true)
                           : FileReferenceBytes(document.file, answers.narrowTexts);
  return v;
}

// What a real host's whole document also carries: many more keys, one of them the picture's
// metadata as a long text. Their values mean nothing here.
void PutHeavyKeys(DescriptorData& data) {
  constexpr int kExtraKeys = 40;
  constexpr size_t kMetadataTextBytes = 256 * 1024;
  for (int i = 0; i < kExtraKeys; ++i) {
    const char code[5] = {'x', 'k', char('0' + i / 10), char('0' + i % 10), '\0'};
    data.Put(FourCC(code), i % 2 == 0 ? Integer(i) : Float(i * 0.5));
  }
  data.Put(FourCC("XMPM"), Text(std::string(kMetadataTextBytes, 'x')));
}

// Paths spelled alike as Windows compares them: ordinal, letter case aside, '/' as '\'.
bool SameSpelling(const std::string& a, const std::string& b) {
  std::wstring left = Utf8ToWide(a), right = Utf8ToWide(b);
  std::replace(left.begin(), left.end(), L'/', L'\\');
  std::replace(right.begin(), right.end(), L'/', L'\\');
  return CompareStringOrdinal(left.data(), int(left.size()), right.data(), int(right.size()), TRUE) == CSTR_EQUAL;
}

// A file's volume serial number and file index, through a handle that asks for no access.
bool FileIndex(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  const UniqueFile file(CreateFileW(Utf8ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && GetFileInformationByHandle(file.Get(), info);
}

// One file, however it is named (a short name, another drive letter onto its folder, a link): as
// a host that opens files finds them. Paths of files that are not there are compared by spelling.
bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION left = {}, right = {};
  if (FileIndex(a, &left) && FileIndex(b, &right)) {
    return left.dwVolumeSerialNumber == right.dwVolumeSerialNumber && left.nFileIndexHigh == right.nFileIndexHigh &&
           left.nFileIndexLow == right.nFileIndexLow;
  }
  return SameSpelling(a, b);
}

const HostAnswers kDefaultAnswers{};

// A host never gives two documents of its life the same identifier, and every model of a process
// is one host's life (a test makes models anew, its plug-in stays loaded).
uint32_t NextDocumentId = 1;

bool IsTarget(const ReferenceElement& element) {
  return element.form == formEnumerated && element.enumType == typeOrdinal && element.enumValue == enumTarget;
}

bool ParseDouble(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0';
}

}  // namespace

uint32_t DocumentModel::Open(HostDocument document) {
  document.id = NextDocumentId++;
  documents_.push_back(std::move(document));
  target_ = documents_.size() - 1;
  return documents_.back().id;
}

bool DocumentModel::Close(uint32_t id) {
  for (size_t i = 0; i < documents_.size(); ++i) {
    if (documents_[i].id != id) continue;
    documents_.erase(documents_.begin() + long(i));
    // Closing the target makes the latest document the target; closing another one keeps it.
    if (i == target_ || documents_.empty()) {
      target_ = documents_.empty() ? 0 : documents_.size() - 1;
    } else if (i < target_) {
      --target_;
    }
    return true;
  }
  return false;
}

const HostDocument* DocumentModel::Target() const { return documents_.empty() ? nullptr : &documents_[target_]; }

const HostDocument* DocumentModel::ById(uint32_t id) const {
  for (const HostDocument& document : documents_) {
    if (document.id == id) return &document;
  }
  return nullptr;
}

const HostDocument* DocumentModel::ByFile(const std::string& file) const {
  if (file.empty()) return nullptr;
  for (const HostDocument& document : documents_) {
    if (!document.cloud && !document.file.empty() && SameFile(document.file, file)) return &document;
  }
  return nullptr;
}

bool DocumentModel::Activate(uint32_t id) {
  for (size_t i = 0; i < documents_.size(); ++i) {
    if (documents_[i].id != id) continue;
    target_ = i;
    return true;
  }
  return false;
}

bool DocumentModel::MoveTo(uint32_t id, size_t index) {
  if (index >= documents_.size()) return false;
  for (size_t i = 0; i < documents_.size(); ++i) {
    if (documents_[i].id != id) continue;
    const uint32_t target = Target() ? Target()->id : 0;
    HostDocument moved = std::move(documents_[i]);
    documents_.erase(documents_.begin() + long(i));
    documents_.insert(documents_.begin() + long(index), std::move(moved));
    for (size_t at = 0; at < documents_.size(); ++at) {
      if (documents_[at].id == target) target_ = at;
    }
    return true;
  }
  return false;
}

bool DocumentModel::SetUnsavedChanges(uint32_t id, bool changed) {
  for (HostDocument& document : documents_) {
    if (document.id != id) continue;
    document.dirty = changed;
    return true;
  }
  return false;
}

std::string DocumentModel::UnusedUntitledTitle() const {
  for (size_t n = 1;; ++n) {
    const std::string title = "Untitled-" + std::to_string(n);
    bool taken = false;
    for (const HostDocument& document : documents_) taken = taken || document.title == title;
    if (!taken) return title;
  }
}

DescriptorData DocumentModel::ApplicationDescriptor() const {
  DescriptorData application;
  application.Put(keyNumberOfDocuments, Integer(int64_t(documents_.size())));
  return application;
}

const HostAnswers& DocumentModel::Answers() const { return host_ ? host_->Answers() : kDefaultAnswers; }

DescriptorData DocumentModel::DocumentDescriptor(const HostDocument& document) const {
  const HostAnswers& answers = Answers();
  DescriptorData data;
  data.Put(keyTitle, Text(document.title));
  if (!document.file.empty()) data.Put(keyFileReference, FileReference(document, answers));
  data.Put(keyWidth, UnitFloat(document.unit, document.width));
  data.Put(keyHeight, UnitFloat(document.unit, document.height));
  data.Put(keyResolution, document.plainResolution ? Float(document.resolution)
                                                   : UnitFloat(unitDensity, document.resolution));
  data.Put(keyDepth, Integer(document.depth));
  data.Put(keyIsDirty, Flag(document.dirty));
  data.Put(keyDocumentID, Integer(document.id));
  if (answers.heavyDocuments) PutHeavyKeys(data);
  return data;
}

const HostDocument* DocumentModel::Find(const ReferenceElement& element, OSErr* status) const {
  *status = kStandInNoSuchObject;
  if (IsTarget(element)) return Target();
  if (element.form == formIndex) {
    if (element.number < 1 || element.number > documents_.size()) {
      *status = kStandInBadIndex;
      return nullptr;
    }
    return &documents_[element.number - 1];
  }
  for (const HostDocument& document : documents_) {
    if ((element.form == formIdentifier && document.id == element.number) ||
        (element.form == formName && document.title == element.name)) {
      return &document;
    }
  }
  return nullptr;
}

OSErr DocumentModel::Resolve(const ReferenceData& reference, DescriptorData* result) const {
  const std::vector<ReferenceElement>& elements = reference.elements;
  size_t object = 0;
  DescriptorKeyID property = 0;
  if (!elements.empty() && elements[0].form == formProperty) {
    property = elements[0].property;
    object = 1;
  }
  if (object >= elements.size()) return kStandInNoSuchObject;

  DescriptorData whole;
  const ReferenceElement& element = elements[object];
  if (element.desiredClass == classApplication && IsTarget(element)) {
    whole = ApplicationDescriptor();
  } else if (element.desiredClass == classDocument) {
    OSErr status = 0;
    const HostDocument* document = Find(element, &status);
    if (!document) return status;
    whole = DocumentDescriptor(*document);
  } else {
    return kStandInNoSuchObject;
  }
  if (property == 0) {
    *result = std::move(whole);
    return 0;
  }
  const ActionValue* value = whole.Find(property);
  if (!value) return kStandInNoSuchObject;
  result->Put(property, *value);
  return 0;
}

void DocumentModel::AttachTo(StandInHost& host) {
  host_ = &host;
  host.SetGetResolver([this](const ReferenceData& reference, DescriptorData* result) {
    return Resolve(reference, result);
  });
}

bool ParseDocumentSpec(const std::string& text, HostDocument* document, std::string* error) {
  *document = HostDocument();
  bool titled = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    const std::string field = text.substr(start, end - start);
    start = end + 1;
    if (field.empty()) continue;
    const size_t equals = field.find('=');
    if (equals == std::string::npos) {
      *error = "document field without '=': " + field;
      return false;
    }
    const std::string key = field.substr(0, equals);
    const std::string value = field.substr(equals + 1);
    double number = 0;
    if (key == "title") {
      document->title = value;
      titled = true;
    } else if (key == "file") {
      document->file = value;
    } else if (key == "unit" && (value == "pixels" || value == "distance")) {
      document->unit = value == "pixels" ? unitPixels : unitDistance;
    } else if (key == "dirty" && (value == "yes" || value == "no")) {
      document->dirty = value == "yes";
    } else if (key == "cloud" && (value == "yes" || value == "no")) {
      document->cloud = value == "yes";
    } else if ((key == "width" || key == "height" || key == "resolution" || key == "depth") &&
               ParseDouble(value, &number)) {
      if (key == "width") document->width = number;
      if (key == "height") document->height = number;
      if (key == "resolution") document->resolution = number;
      if (key == "depth") document->depth = int32_t(number);
    } else {
      *error = "bad document field: " + field;
      return false;
    }
  }
  if (!titled) *error = "a document needs a title: " + text;
  return titled;
}

}  // namespace zk
