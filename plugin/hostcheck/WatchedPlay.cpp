#include "WatchedPlay.h"

#include <algorithm>
#include <vector>

#include "DescriptorHelpers.h"
#include "DocumentSelection.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "HostText.h"
#include "ModuleStatus.h"
#include "ReportText.h"

namespace {

using ZentrastMisc::AutomationUtils::CloseDocumentWithoutSaving;

// A host's message is a sentence or two; a longer one is only said to be there.
constexpr uint32_t kMostMessageBytes = 1u << 20;

std::string KeysOf(PIActionDescriptor descriptor) {
  uint32_t count = 0;
  const int32_t status = sPSActionDescriptor->GetCount(descriptor, &count);
  if (status != 0) return "GetCount " + StatusText(status);
  std::string keys;
  for (uint32_t index = 0; index < count; ++index) {
    DescriptorKeyID key = 0;
    DescriptorTypeID type = 0;
    const bool read = sPSActionDescriptor->GetKey(descriptor, index, &key) == 0 &&
                      sPSActionDescriptor->GetType(descriptor, key, &type) == 0;
    keys += (keys.empty() ? "" : ", ") + (read ? CodeText(key) + " " + CodeText(type) : std::string("(unreadable)"));
  }
  return keys.empty() ? "none" : keys;
}

std::string MessageOf(PIActionDescriptor result) {
  Boolean has = false;
  if (sPSActionDescriptor->HasKey(result, keyMessage, &has) != 0 || !has) return std::string();
  std::string text;
  const int32_t status = ReadTextKey(result, keyMessage, kMostMessageBytes, &text);
  if (status == kTextTooLong) return "(longer than " + std::to_string(kMostMessageBytes) + " bytes)";
  return status == 0 ? HostTextToUtf8(text) : "(unreadable)";
}

// The raw converter's settings in an open's result: their class and keys.
std::string SettingsOf(PIActionDescriptor result) {
  Boolean has = false;
  if (sPSActionDescriptor->HasKey(result, keyAs, &has) != 0 || !has) return "absent";
  DescriptorClassID settingsClass = 0, rawConverter = 0;
  DescriptorHolder settings;
  int32_t status = sPSActionDescriptor->GetObject(result, keyAs, &settingsClass, settings.Address());
  if (status != 0) return "GetObject " + StatusText(status);
  status = sPSActionControl->StringIDToTypeID(kRawConverterStringId, &rawConverter);
  std::string text = status == 0 && settingsClass == rawConverter ? "the raw converter's class" : CodeText(settingsClass);
  DescriptorEnumTypeID depthType = 0;
  DescriptorEnumID depth = 0;
  if (sPSActionDescriptor->GetEnumerated(settings.Get(), keyBitDepth, &depthType, &depth) == 0) {
    text += ", 'BtDp' " + CodeText(depthType) + " " + CodeText(depth);
  }
  return text + "; its keys: " + KeysOf(settings.Get());
}

std::string AddedText(const PlayAnswer& answer) {
  if (answer.before.status != 0 || answer.after.status != 0) return "cannot tell: the documents could not all be read";
  return std::to_string(int64_t(answer.after.documents.size()) - int64_t(answer.before.documents.size()));
}

}  // namespace

PlayAnswer PlayWatched(DescriptorEventID eventId, PIActionDescriptor parameters, PIDialogPlayOptions options) {
  PlayAnswer answer;
  answer.before = LookAtOpenDocuments();
  // Without knowing every document before the play, nobody can tell the ones it adds from the
  // person's, and the check could not close its own: it does not play.
  answer.played = answer.before.status == 0;
  if (!answer.played) {
    answer.status = answer.before.status;
    return answer;
  }
  DescriptorHolder result;
  {
    const WindowWatch watch;
    answer.status = sPSActionControl->Play(result.Address(), eventId, parameters, options);
    answer.watching = watch.Watching();
    answer.shown = watch.Shown();
  }
  answer.hasResult = bool(result);
  if (result) {
    answer.resultKeys = KeysOf(result.Get());
    answer.settings = SettingsOf(result.Get());
    answer.message = MessageOf(result.Get());
  }
  answer.after = LookAtOpenDocuments();
  return answer;
}

std::string ActiveDocumentText(const PlayAnswer& answer, uint32_t expected) {
  if (!answer.after.hasTarget) return "none";
  const std::vector<uint32_t> added = AddedDocuments(answer.before, answer.after);
  for (const uint32_t id : added) {
    if (id == answer.after.target) return "a document this play added";
  }
  if (expected != 0 && answer.after.target == expected) return "the document of the first open";
  if (answer.before.hasTarget && answer.after.target == answer.before.target) return "the one active before";
  return "another document open before";
}

void ReportWindows(ReportSection& section, const PlayAnswer& answer) {
  if (!answer.watching) {
    section.Answer("dialog shown", "cannot tell: the window hook could not be set");
    return;
  }
  section.Answer("dialog shown", answer.shown.empty() ? "no" : "yes");
  for (const WatchedWindow& window : answer.shown) {
    section.Note("window \"" + window.caption + "\" of class " + window.className);
  }
}

void ReportPlay(ReportSection& section, const PlayAnswer& answer, bool open) {
  if (!answer.played) {
    section.Answer("not played", "the open documents could not all be read (" + StatusText(answer.status) + ")");
    return;
  }
  section.Answer("status", StatusText(answer.status));
  section.Answer("result", answer.hasResult ? answer.resultKeys : "no result descriptor");
  if (open && answer.hasResult) section.Answer("'As  ' in the result", answer.settings);
  section.Answer("'Msge'", answer.message.empty() ? "none" : "present");
  if (!answer.message.empty()) section.Note("'Msge': " + answer.message);
  section.Answer("documents added", AddedText(answer));
  section.Note("documents open before: " + std::to_string(answer.before.documents.size()) +
               ", after: " + std::to_string(answer.after.documents.size()));
}

void CloseAdded(const OpenDocumentsLook& before, const OpenDocumentsLook& after, CheckDocuments& own) {
  for (const uint32_t id : AddedDocuments(before, after)) {
    if (std::find(own.notClosed.begin(), own.notClosed.end(), id) != own.notClosed.end()) continue;
    ++own.added;
    const int32_t status = CloseDocumentWithoutSaving(id);
    if (status == 0) {
      ++own.closed;
    } else {
      own.failures.push_back("document " + std::to_string(id) + ": " + StatusText(status));
      own.notClosed.push_back(id);
    }
  }
}

