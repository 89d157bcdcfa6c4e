#include "DocumentSelection.h"

#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"

namespace ZentrastMisc {
namespace AutomationUtils {

namespace {

// An event descriptor whose 'null' names the document with that identifier.
int32_t MakeDocumentEvent(uint32_t identifier, DescriptorHolder& event) {
  ReferenceHolder reference;
  HostCallChain chain;
  chain.Then([&] { return MakeReference(reference); })
      .Then([&] { return sPSActionReference->PutIdentifier(reference.Get(), classDocument, identifier); })
      .Then([&] { return MakeDescriptor(event); })
      .Then([&] { return sPSActionDescriptor->PutReference(event.Get(), keyNull, reference.Get()); });
  return chain.Status();
}

}  // namespace

int32_t SelectDocument(uint32_t identifier) {
  DescriptorHolder event;
  DescriptorHolder selected;
  HostCallChain chain;
  chain.Then([&] { return MakeDocumentEvent(identifier, event); })
      .Then([&] { return sPSActionControl->Play(selected.Address(), eventSelect, event.Get(), plugInDialogSilent); });
  return chain.Status();
}

int32_t CloseDocumentWithoutSaving(uint32_t identifier) {
  DescriptorHolder event;
  DescriptorHolder selected;
  DescriptorHolder closed;
  HostCallChain chain;
  chain.Then([&] { return MakeDocumentEvent(identifier, event); })
      .Then([&] { return sPSActionControl->Play(selected.Address(), eventSelect, event.Get(), plugInDialogSilent); })
      .Then([&] { return sPSActionDescriptor->PutEnumerated(event.Get(), keySaving, typeYesNo, enumNo); })
      .Then([&] { return sPSActionControl->Play(closed.Address(), eventClose, event.Get(), plugInDialogSilent); });
  return chain.Status();
}

}  // namespace AutomationUtils
}  // namespace ZentrastMisc
