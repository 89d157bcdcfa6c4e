#include "DocumentFacts.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "DescriptorHelpers.h"
#include "HostCodes.h"
#include "HostHandleBytes.h"
#include "HostObjectOwners.h"
#include "HostPaths.h"
#include "InnerText.h"

namespace {

// A title is a file's name or a few words; a text longer than this is not read.
constexpr uint32_t kMostTextBytes = 1u << 20;

KeyFacts Key(PIActionDescriptor document, DescriptorKeyID key) {
  KeyFacts facts;
  Boolean has = false;
  facts.status = sPSActionDescriptor->HasKey(document, key, &has);
  facts.present = facts.status == 0 && has;
  if (facts.present) facts.status = sPSActionDescriptor->GetType(document, key, &facts.type);
  return facts;
}

// The status is the getter's; a value of another type is read with the getter its type asks for.
MeasureFacts Measure(PIActionDescriptor document, DescriptorKeyID key) {
  MeasureFacts facts;
  static_cast<KeyFacts&>(facts) = Key(document, key);
  if (!facts.present || facts.status != 0) return facts;
  if (facts.type == typeUnitFloat) {
    facts.status = sPSActionDescriptor->GetUnitFloat(document, key, &facts.unit, &facts.value);
  } else if (facts.type == typeFloat) {
    facts.status = sPSActionDescriptor->GetFloat(document, key, &facts.value);
  } else if (facts.type == typeInteger) {
    int32_t whole = 0;
    facts.status = sPSActionDescriptor->GetInteger(document, key, &whole);
    facts.value = whole;
  }
  facts.integerStatus = sPSActionDescriptor->GetInteger(document, key, &facts.integer);
  return facts;
}

int32_t ZStringUnits(ASZString text, std::u16string* units) {
  units->clear();
  const ASUInt32 length = sASZString->LengthAsUnicodeCString(text);  // with its zero
  if (length == 0) return 0;
  std::vector<ASUnicode> buffer(length + 1, 0);
  const int32_t status = sASZString->AsUnicodeCString(text, buffer.data(), ASUInt32(buffer.size()), false);
  if (status == 0) units->assign(buffer.begin(), std::find(buffer.begin(), buffer.end(), ASUnicode(0)));
  return status;
}

void ReadTitle(PIActionDescriptor document, DocumentFacts* facts) {
  facts->title = Key(document, keyTitle);
  if (!facts->title.present || facts->title.status != 0) return;
  facts->title.status = ReadTextKey(document, keyTitle, kMostTextBytes, &facts->titleBytes);
  // A host without the ZString suite could hand out a ZString that nobody can release.
  if (sASZString.Find() == nullptr) {
    facts->titleWholeStatus = sASZString.LastStatus();
    return;
  }
  ZStringHolder whole;
  facts->titleWholeStatus = sPSActionDescriptor->GetZString(document, keyTitle, whole.Address());
  if (facts->titleWholeStatus == 0) facts->titleWholeStatus = ZStringUnits(whole.Get(), &facts->titleWhole);
}

void ReadFile(PIActionDescriptor document, DocumentFacts* facts) {
  facts->file = Key(document, keyFileReference);
  if (!facts->file.present || facts->file.status != 0) return;
  HostHandleHolder alias;
  facts->file.status = sPSActionDescriptor->GetAlias(document, keyFileReference, alias.Address());
  if (facts->file.status != 0) return;
  facts->fileBytes = HostHandleBytes(alias.Get());
  facts->filePathStatus = AliasUnicodePath(alias.Get(), &facts->filePath);
  if (const PSAliasSuite2* aliases = sPSAlias.Find()) {
    facts->cloudStatus = aliases->IsCloudFile(alias.Get(), &facts->cloud);
  } else {
    facts->cloudStatus = kSPSuiteNotFoundError;
  }
  // What the bridge makes of it: the file it checks after a raw open, and names to the companion.
  std::string path;
  facts->pluginReadsPath = AliasFilePath(alias.Get(), &path);
  facts->pluginPath = InnerTextToUnits(path);
}

uint32_t LongestText(PIActionDescriptor document, uint32_t keyCount) {
  uint32_t longest = 0;
  for (uint32_t index = 0; index < keyCount; ++index) {
    DescriptorKeyID key = 0;
    DescriptorTypeID type = 0;
    uint32_t length = 0;
    if (sPSActionDescriptor->GetKey(document, index, &key) == 0 &&
        sPSActionDescriptor->GetType(document, key, &type) == 0 && type == typeChar &&
        sPSActionDescriptor->GetStringLength(document, key, &length) == 0) {
      longest = std::max(longest, length);
    }
  }
  return longest;
}

double MillisecondsSince(const LARGE_INTEGER& started) {
  LARGE_INTEGER now{}, frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart - started.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Reads a whole document, by index or the target; the status of the Get.
int32_t ReadWholeDocument(bool target, uint32_t index, DocumentFacts* facts) {
  DescriptorHolder document;
  LARGE_INTEGER started{};
  QueryPerformanceCounter(&started);
  const int32_t status = target ? PIUGetTargetInfo(classDocument, 0, document.Address(), nullptr)
                                : PIUGetInfoByIndex(index, classDocument, 0, document.Address(), nullptr);
  if (status == 0) *facts = ReadDocumentFacts(document.Get(), MillisecondsSince(started));
  return status;
}

}  // namespace

int32_t ReadDocumentFactsAt(uint32_t index, DocumentFacts* facts) { return ReadWholeDocument(false, index, facts); }

int32_t ReadTargetDocumentFacts(DocumentFacts* facts) { return ReadWholeDocument(true, 0, facts); }

DocumentFacts ReadDocumentFacts(PIActionDescriptor document, double readMilliseconds) {
  DocumentFacts facts;
  facts.readMilliseconds = readMilliseconds;
  if (sPSActionDescriptor->GetCount(document, &facts.keyCount) != 0) facts.keyCount = 0;
  facts.longestText = LongestText(document, facts.keyCount);
  ReadTitle(document, &facts);
  ReadFile(document, &facts);
  facts.width = Measure(document, keyWidth);
  facts.height = Measure(document, keyHeight);
  facts.resolution = Measure(document, keyResolution);
  facts.depth = Key(document, keyDepth);
  if (facts.depth.present && facts.depth.status == 0) {
    facts.depth.status = sPSActionDescriptor->GetInteger(document, keyDepth, &facts.depthValue);
  }
  facts.dirty = Key(document, keyIsDirty);
  if (facts.dirty.present && facts.dirty.status == 0) {
    Boolean dirty = false;
    facts.dirty.status = sPSActionDescriptor->GetBoolean(document, keyIsDirty, &dirty);
    facts.dirtyValue = dirty != 0;
  }
  facts.id = Key(document, keyDocumentID);
  if (facts.id.present && facts.id.status == 0) {
    facts.id.status = sPSActionDescriptor->GetInteger(document, keyDocumentID, &facts.idValue);
  }
  return facts;
}
