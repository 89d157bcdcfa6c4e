// Everything the check reads of one document's whole descriptor, as the host hands it out: the
// types, statuses and raw forms that tell how the host answers, and the values that only describe
// the person's document.
#pragma once

#include <cstdint>
#include <string>

#include "HostTypes.h"

// One key: whether it is there, its type, and the status of reading it with its own getter.
struct KeyFacts {
  bool present = false;
  DescriptorTypeID type = 0;
  int32_t status = 0;
};

struct MeasureFacts : KeyFacts {
  DescriptorUnitID unit = 0;   // for a unit double
  double value = 0;
  int32_t integerStatus = 0;   // GetInteger of the same key
  int32_t integer = 0;
};

struct DocumentFacts {
  uint32_t keyCount = 0;
  uint32_t longestText = 0;     // bytes, of all its text keys
  double readMilliseconds = 0;  // the Get of the whole document

  KeyFacts title;
  std::string titleBytes;       // GetString
  int32_t titleWholeStatus = 0; // GetZString
  std::u16string titleWhole;

  KeyFacts file;
  std::string fileBytes;        // the whole block GetAlias hands out
  int32_t filePathStatus = 0;   // the alias suite's UTF-16 path
  std::u16string filePath;
  int32_t cloudStatus = 0;
  SPBoolean cloud = 0;
  bool pluginReadsPath = false;  // the module's own path reading (AliasFilePath) gave a path
  std::u16string pluginPath;

  MeasureFacts width;
  MeasureFacts height;
  MeasureFacts resolution;

  KeyFacts depth;
  int32_t depthValue = 0;
  KeyFacts dirty;
  bool dirtyValue = false;
  KeyFacts id;
  int32_t idValue = 0;
};

// Reads what the document holds. Raises when a suite it needs cannot be had.
DocumentFacts ReadDocumentFacts(PIActionDescriptor document, double readMilliseconds);

// Gets the whole document at the 1-based index, or the target document, timing the Get, and reads
// its facts: the host's status of the Get.
int32_t ReadDocumentFactsAt(uint32_t index, DocumentFacts* facts);
int32_t ReadTargetDocumentFacts(DocumentFacts* facts);
