#include "ActionQuestions.h"

#include <windows.h>

#include <vector>

#include "AskQuestion.h"
#include "CheckDialogs.h"
#include "DocumentQuestions.h"
#include "DocumentSelection.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "HostPaths.h"
#include "HostText.h"
#include "InnerText.h"
#include "OpenDocumentsLook.h"
#include "RawFileLoading.h"
#include "ReportText.h"
#include "WindowWatch.h"

namespace {

using ZentrastMisc::AutomationUtils::CloseDocumentWithoutSaving;
using ZentrastMisc::AutomationUtils::FillRawOpenEvent;
using ZentrastMisc::AutomationUtils::SelectDocument;

constexpr int32_t kAskedDepth = 16;
constexpr uint32_t keyNew = FourCC("Nw  ");
constexpr uint32_t keyName = FourCC("Nm  ");
constexpr uint32_t keyMode = FourCC("Md  ");
constexpr uint32_t keyFill = FourCC("Fl  ");
constexpr uint32_t classRGBColorMode = FourCC("RGBM");
constexpr uint32_t enumWhite = FourCC("Wht ");
constexpr uint32_t eventMake = FourCC("Mk  ");
// A new document whose sides are no whole number of points at its resolution (107 and 61 pixels
// at 300 pixels per inch are 25.68 and 14.64 points), so that an integer read of them tells
// truncating, rounding and pixels apart.
constexpr double kNewWidthPixels = 107;
constexpr double kNewHeightPixels = 61;
constexpr double kNewResolution = 300;
// Given whole (a ZString), so that its 8-bit form tells the host's narrow encoding too.
const std::u16string kNewTitle = u"Zentrast Kolvane Pr\u00FCfung";

// The documents the check added, closed as soon as their questions are answered.
struct CheckDocuments {
  int added = 0;
  int closed = 0;
  std::vector<std::string> failures;
};

// What one play answered, and what it did to the open documents.
struct PlayAnswer {
  bool played = false;  // not when the documents before it could not all be read
  int32_t status = 0;
  bool hasResult = false;
  std::string resultKeys;
  std::string settings;  // 'As  ' in the result
  std::string message;   // 'Msge', UTF-8; empty when there is none
  bool watching = false;
  std::vector<WatchedWindow> shown;
  OpenDocumentsLook before;
  OpenDocumentsLook after;
};

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
  uint32_t length = 0;
  if (sPSActionDescriptor->HasKey(result, keyMessage, &has) != 0 || !has) return std::string();
  if (sPSActionDescriptor->GetStringLength(result, keyMessage, &length) != 0) return "(unreadable)";
  std::vector<char> text(size_t(length) + 1, '\0');
  if (sPSActionDescriptor->GetString(result, keyMessage, text.data(), length + 1) != 0) return "(unreadable)";
  return HostTextToUtf8(std::string(text.data()));
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

// Plays the event with the parameters, watching the windows the host shows meanwhile.
PlayAnswer Play(DescriptorEventID eventId, PIActionDescriptor parameters, PIDialogPlayOptions options) {
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

std::string TypeTextOf(const KeyFacts& key) {
  if (key.status != 0) return StatusText(key.status);
  return key.present ? CodeText(key.type) : "absent";
}

std::string AddedText(const PlayAnswer& answer) {
  if (answer.before.status != 0 || answer.after.status != 0) return "cannot tell: the documents could not all be read";
  return std::to_string(int64_t(answer.after.documents.size()) - int64_t(answer.before.documents.size()));
}

// Which document is active after the play, against the ones before it.
std::string ActiveText(const PlayAnswer& answer, uint32_t expected) {
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

// Closes every document the play added, without saving: they are the check's own.
void CloseAdded(const PlayAnswer& answer, CheckDocuments& own) {
  for (const uint32_t id : AddedDocuments(answer.before, answer.after)) {
    ++own.added;
    const int32_t status = CloseDocumentWithoutSaving(id);
    if (status == 0) {
      ++own.closed;
    } else {
      own.failures.push_back("document " + std::to_string(id) + ": " + StatusText(status));
    }
  }
}

// Opens the file through the raw converter, asking for kAskedDepth, with the play option given;
// buildStatus is that of making the event (kPathNotCarried: the path cannot reach the host).
PlayAnswer OpenRawFile(const std::wstring& picked, PIDialogPlayOptions options, int32_t* buildStatus) {
  const std::u16string units(picked.begin(), picked.end());
  DescriptorHolder rawOptions;
  DescriptorHolder event;
  HostHandleHolder alias;
  PlayAnswer answer;
  HostCallChain chain;
  chain.Then([&] { return MakeDescriptor(rawOptions); })
      .Then([&] { return MakeDescriptor(event); })
      .Then([&] {
        return FillRawOpenEvent(UnitsToInnerText(units.data(), units.size()), kAskedDepth, event.Get(),
                                rawOptions.Get(), alias);
      });
  *buildStatus = chain.Status();
  if (chain.Going()) answer = Play(eventOpen, event.Get(), options);
  return answer;
}

std::string BuildFailure(int32_t status) {
  return status == kPathNotCarried ? "the path cannot reach the host as it is" : StatusText(status);
}

std::string RawOpenAsked(const char* option) {
  return std::string("'Opn ' of the picked file: 'null' its alias, 'As  ' an object of the raw converter's class "
                     "holding 'BtDp' 'BD16'; ") + option;
}

// The file of the active document against the path the open asked for.
std::string SpellingText(const DocumentFacts& facts, const std::wstring& picked) {
  if (!facts.file.present) return "no 'FilR'";
  if (facts.filePathStatus != 0) return "cannot tell: no whole path (" + StatusText(facts.filePathStatus) + ")";
  const std::u16string asked(picked.begin(), picked.end());
  if (facts.filePath == asked) return "the same text";
  if (SameWindowsPath(UnitsToInnerText(facts.filePath.data(), facts.filePath.size()),
                      UnitsToInnerText(asked.data(), asked.size()))) {
    return "the same file, spelled otherwise";
  }
  return "another path";
}

void AskFirstOpen(CheckReport& report, const std::wstring& picked, CheckDocuments& own) {
  ReportSection& open = report.Section("E1");
  open.Answer("asked", RawOpenAsked("option 0 (don't display)"));
  open.Note("picked file: " + UnitsToUtf8(std::u16string(picked.begin(), picked.end())));
  int32_t built = 0;
  const PlayAnswer first = OpenRawFile(picked, plugInDialogDontDisplay, &built);
  if (built != 0) {
    open.Answer("the open could not be built", BuildFailure(built));
    return;
  }
  ReportPlay(open, first, true);
  open.Answer("the active document", ActiveText(first, 0));
  ReportWindows(report.Section("E5"), first);

  const std::vector<uint32_t> added = AddedDocuments(first.before, first.after);
  const bool opened = added.size() == 1 && first.after.hasTarget && first.after.target == added.front();
  DocumentFacts facts;
  const int32_t read = opened ? ReadTargetDocument(&facts) : 0;
  if (!opened || read != 0) {
    const std::string why = opened ? "Get of the opened document " + StatusText(read) : "the open added no document";
    report.Section("E4").NotAsked(why);
    report.Section("E3").NotAsked(why);
    report.Section("P9").Answer("raw document", "not asked: " + why);
    ReportDocumentRowsNotAsked(report, "raw document", why);
    CloseAdded(first, own);
    return;
  }
  report.Section("E4").Answer("asked 'BD16', the document opened at",
                              facts.depth.present && facts.depth.status == 0 ? std::to_string(facts.depthValue)
                                                                             : "'Dpth' " + TypeTextOf(facts.depth));
  report.Section("P9").Answer("raw document", SpellingText(facts, picked));
  ReportDocumentRows(report, "raw document", facts);
  open.Note("raw document: " + DocumentNote(facts));

  ReportSection& again = report.Section("E3");
  again.Answer("asked", RawOpenAsked("option 0, while the first open's document is open"));
  const PlayAnswer second = OpenRawFile(picked, plugInDialogDontDisplay, &built);
  ReportPlay(again, second, true);
  again.Answer("the active document", ActiveText(second, added.front()));
  ReportWindows(again, second);
  CloseAdded(second, own);
  CloseAdded(first, own);
}

void AskCancelledOpen(CheckReport& report, const std::wstring& picked, CheckDocuments& own) {
  ReportSection& cancelled = report.Section("E2");
  if (!AgreesToCancelTheConverter(picked)) {
    cancelled.NotAsked("the person chose to skip it");
    return;
  }
  cancelled.Answer("asked", RawOpenAsked("option 1 (display); the person was asked to press Cancel"));
  int32_t built = 0;
  const PlayAnswer answer = OpenRawFile(picked, plugInDialogDisplay, &built);
  if (built != 0) {
    cancelled.Answer("the open could not be built", BuildFailure(built));
    return;
  }
  ReportWindows(cancelled, answer);
  ReportPlay(cancelled, answer, true);
  cancelled.Answer("the active document", ActiveText(answer, 0));
  CloseAdded(answer, own);
}

void AskNewDocument(CheckReport& report, CheckDocuments& own) {
  ReportSection& made = report.Section("E7");
  made.Answer("asked", "'Mk  ' with 'Nw  ' an object of class 'Dcmn': 'Nm  ' \"" + UnitsToUtf8(kNewTitle) +
                           "\" (a ZString), 'Md  ' 'RGBM', 'Wdth' 107 '#Pxl', 'Hght' 61 '#Pxl', 'Rslt' 300 '#Rsl', 'Dpth' 8, "
                           "'Fl  ' 'Wht '; option 2 (silent)");
  DescriptorHolder settings;
  DescriptorHolder event;
  ZStringHolder title;
  std::u16string titleUnits = kNewTitle;
  HostCallChain chain;
  chain.Then([&] { return MakeDescriptor(settings); })
      .Then([&] { return MakeDescriptor(event); })
      .Then([&] {
        return sASZString->MakeFromUnicode(reinterpret_cast<ASUnicode*>(&titleUnits[0]), titleUnits.size(),
                                           title.Address());
      })
      .Then([&] { return sPSActionDescriptor->PutZString(settings.Get(), keyName, title.Get()); })
      .Then([&] { return sPSActionDescriptor->PutClass(settings.Get(), keyMode, classRGBColorMode); })
      .Then([&] { return sPSActionDescriptor->PutUnitFloat(settings.Get(), keyWidth, unitPixels, kNewWidthPixels); })
      .Then([&] { return sPSActionDescriptor->PutUnitFloat(settings.Get(), keyHeight, unitPixels, kNewHeightPixels); })
      .Then([&] { return sPSActionDescriptor->PutUnitFloat(settings.Get(), keyResolution, unitDensity, kNewResolution); })
      .Then([&] { return sPSActionDescriptor->PutInteger(settings.Get(), keyDepth, 8); })
      .Then([&] { return sPSActionDescriptor->PutEnumerated(settings.Get(), keyFill, keyFill, enumWhite); })
      .Then([&] { return sPSActionDescriptor->PutObject(event.Get(), keyNew, classDocument, settings.Get()); });
  if (!chain.Going()) {
    made.Answer("the event could not be built", StatusText(chain.Status()));
    ReportDocumentRowsNotAsked(report, "new document", "the event could not be built");
    return;
  }
  const PlayAnswer answer = Play(eventMake, event.Get(), plugInDialogSilent);
  ReportPlay(made, answer, false);
  const std::vector<uint32_t> added = AddedDocuments(answer.before, answer.after);
  DocumentFacts facts;
  if (added.size() == 1 && answer.after.hasTarget && answer.after.target == added.front() &&
      ReadTargetDocument(&facts) == 0) {
    made.Answer("'Ttl '", facts.titleWholeStatus != 0 ? "cannot tell: GetZString " + StatusText(facts.titleWholeStatus)
                          : facts.titleWhole == kNewTitle      ? "as asked"
                                                               : "another title");
    made.Note("new document: " + DocumentNote(facts));
    ReportDocumentRows(report, "new document", facts);
  } else {
    ReportDocumentRowsNotAsked(report, "new document", "the play added no document that could be read");
  }
  CloseAdded(answer, own);
}

// Whether a row has a line for that document already.
bool Answered(CheckReport& report, const char* id, const std::string& who) {
  for (const std::string& line : report.Section(id).Lines()) {
    if (line.rfind(who + ":", 0) == 0) return true;
  }
  return false;
}

// Fills in "not asked" wherever the opens left a question unanswered.
void SkipOpenQuestions(CheckReport& report, const std::string& why) {
  for (const char* id : {"E1", "E4", "E5", "E3", "E2"}) {
    if (report.Section(id).Lines().empty()) report.Section(id).NotAsked(why);
  }
  if (!Answered(report, "D1", "raw document")) ReportDocumentRowsNotAsked(report, "raw document", why);
  if (!Answered(report, "P9", "raw document")) report.Section("P9").Answer("raw document", "not asked: " + why);
}

void SkipNewDocumentQuestions(CheckReport& report, const std::string& why) {
  if (report.Section("E7").Lines().empty()) report.Section("E7").NotAsked(why);
  if (!Answered(report, "D1", "new document")) ReportDocumentRowsNotAsked(report, "new document", why);
}

}  // namespace

void SkipActionQuestions(CheckReport& report, const std::string& why) {
  SkipOpenQuestions(report, why);
  SkipNewDocumentQuestions(report, why);
}

std::vector<std::string> AskActionQuestions(CheckReport& report) {
  ReportSection& left = report.Section("C1");
  const OpenDocumentsLook atStart = LookAtOpenDocuments();
  CheckDocuments own;
  if (atStart.status != 0) {
    const std::string why = "the open documents could not all be read (" + StatusText(atStart.status) +
                            "), so the documents the check adds could not be told from the person's";
    SkipActionQuestions(report, why);
    left.NotAsked(why);
    return own.failures;
  }
  std::wstring picked;
  if (PicksRawFile(&picked)) {
    AskQuestion(report.Section("E1"), [&] { AskFirstOpen(report, picked, own); });
    AskQuestion(report.Section("E2"), [&] { AskCancelledOpen(report, picked, own); });
    SkipOpenQuestions(report, "an earlier step of the opens did not get there");
  } else {
    SkipOpenQuestions(report, "no raw file was picked");
  }
  AskQuestion(report.Section("E7"), [&] { AskNewDocument(report, own); });
  SkipNewDocumentQuestions(report, "an earlier step of the new document's question did not get there");

  AskQuestion(left, [&] {
    const OpenDocumentsLook now = LookAtOpenDocuments();
    if (atStart.hasTarget && (!now.hasTarget || now.target != atStart.target)) SelectDocument(atStart.target);
    const OpenDocumentsLook atEnd = LookAtOpenDocuments();
    left.Answer("documents the check added", std::to_string(own.added));
    left.Answer("closed without saving", std::to_string(own.closed));
    for (const std::string& failure : own.failures) left.Answer("not closed", failure);
    left.Answer("open documents, now against before",
                atStart.status == 0 && atEnd.status == 0
                    ? std::to_string(int64_t(atEnd.documents.size()) - int64_t(atStart.documents.size()))
                    : "cannot tell: the documents could not all be read");
    left.Answer("the documents open before", DocumentsAsTheyWere(atStart, atEnd));
    left.Answer("the active document", !atStart.hasTarget                                    ? "none before"
                                       : atEnd.hasTarget && atEnd.target == atStart.target ? "the one active before"
                                                                                           : "another one");
  });
  return own.failures;
}
