#include "DocumentQueries.h"

#include "DescriptorHelpers.h"
#include "DocumentCount.h"
#include "DocumentSize.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "HostPaths.h"
#include "HostText.h"
#include "PluginLog.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

constexpr size_t kTextBufferBytes = 1024;

// Reads document index into the list; the status of the read that left it out, else 0.
int32_t ReadDocument(uint32_t index, std::vector<DocumentInfo>& list) {
  DescriptorHolder document;
  HostHandleHolder alias;
  std::string path;
  char title[kTextBufferBytes] = {};
  int32_t titleStatus = 0, depth = 0;
  DocumentSize size;

  HostCallChain chain;
  chain.Log("GetOpenDocuments: PIUGetInfoByIndex()\n")
      .Then([&] { return PIUGetInfoByIndex(index, classDocument, 0, document.Address(), nullptr); })
      .Log("GetOpenDocuments: sPSActionDescriptor->GetAlias()\n")
      // A document never saved has no file: it fails here and is left out.
      .Then([&] { return sPSActionDescriptor->GetAlias(document.Get(), keyFileReference, alias.Address()); })
      .Do([&] { AliasFilePath(alias.Get(), &path); })
      .Log("GetOpenDocuments: PSActionDescriptor->GetString()\n")
      .Do([&] {
        titleStatus = sPSActionDescriptor->GetString(document.Get(), keyTitle, title, uint32_t(sizeof title));
      })
      .Log("GetOpenDocuments: sPSHandle->Dispose()\n")
      .Then([&] {
        alias.Reset();  // whether or not the title could be read
        return titleStatus;
      })
      .Then([&] { return sPSActionDescriptor->GetInteger(document.Get(), keyDepth, &depth); })
      .Then([&] { return ReadDocumentSize(document.Get(), &size); })
      .Log("GetOpenDocuments: sPSActionDescriptor->Free()\n")
      .Do([&] { document.Reset(); });

  // A document without a title, or whose file cannot be named whole (a cloud document's, or one
  // too long to read), cannot be named to the companion: it is left out rather than sent with an
  // empty or cut text. So is one whose size the host gives as no number of pixels.
  int32_t pixelWidth = 0, pixelHeight = 0;
  if (chain.Going() && title[0] != 0 && !path.empty() && size.WholePixels(&pixelWidth, &pixelHeight)) {
    list.emplace_back(HostTextToUtf8(title), path, pixelWidth, pixelHeight, depth);
  }
  return chain.Status();
}

}  // namespace

OSErr GetOpenDocuments(std::vector<DocumentInfo>& list) {
  LogAppend("In AutomationUtils::GetOpenDocuments()\n");
  int32_t count = 0;
  int32_t status = OpenDocumentCount(&count);
  if (status == 0) {
    LogAppend("About to get documents info\n");
    for (int32_t index = 1; index <= count; ++index) status = ReadDocument(uint32_t(index), list);
  }
  LogAppend("Left AutomationUtils::GetOpenDocuments()\n");
  return OSErr(status);  // the low 16 bits, as every host status
}

bool AllDocumentsSaved() {
  LogAppend("In AutomationUtils::AllDocumentsSaved()\n");
  int32_t count = 0;
  // A document that cannot be checked counts as unsaved: "all saved" must never be a guess, since
  // the companion may discard its own work on that answer.
  bool allSaved = OpenDocumentCount(&count) == 0;
  for (int32_t index = 1; allSaved && index <= count; ++index) {
    LogAppend("In AllDocumentsSaved: PIUGetInfoByIndex()\n");
    DescriptorHolder document;
    Boolean dirty = true;
    HostCallChain chain;
    chain.Then([&] { return PIUGetInfoByIndex(uint32_t(index), classDocument, 0, document.Address(), nullptr); })
        .Log("In AllDocumentsSaved: sPSActionDescriptor->GetBoolean()\n")
        .Then([&] { return sPSActionDescriptor->GetBoolean(document.Get(), keyIsDirty, &dirty); });
    allSaved = chain.Going() && !dirty;
    if (allSaved) {
      LogAppend("In AllDocumentsSaved: sPSActionDescriptor->Free()\n");
      document.Reset();
    }
  }
  if (allSaved) LogAppend("Left AutomationUtils::AllDocumentsSaved()\n");  // only on the way to "true"
  return allSaved;
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
