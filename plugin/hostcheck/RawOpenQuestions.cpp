#include "RawOpenQuestions.h"

#include "AskQuestion.h"
#include "CheckDialogs.h"
#include "DocumentFacts.h"
#include "DocumentRows.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "HostPaths.h"
#include "InnerText.h"
#include "ModuleStatus.h"
#include "RawOpenEvent.h"
#include "ReportText.h"
#include "SameFile.h"
#include "StandardUtf8.h"

namespace {

using ZentrastMisc::AutomationUtils::FillRawOpenEvent;

constexpr int32_t kAskedDepth = 16;

std::string TypeTextOf(const KeyFacts& key) {
  if (key.status != 0) return StatusText(key.status);
  return key.present ? CodeText(key.type) : "absent";
}

// Opens the file through the raw converter, asking for kAskedDepth, with the play option given;
// buildStatus is that of making the event (one of the module's own statuses: the path cannot reach
// the host).
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
  if (chain.Going()) answer = PlayWatched(eventOpen, event.Get(), options);
  return answer;
}

std::string BuildFailure(int32_t status) {
  return IsModuleStatus(status) ? "the path cannot reach the host as it is" : StatusText(status);
}

std::string RawOpenAsked(const char* option) {
  return std::string("'Opn ' of the picked file: 'null' its alias, 'As  ' an object of the raw converter's class "
                     "holding 'BtDp' 'BD16'; ") + option;
}

// The file of the active document against the path the open asked for; "the same file" as the
// bridge decides it (SameFile.h).
std::string SpellingText(const DocumentFacts& facts, const std::wstring& picked) {
  if (!facts.file.present) return "no 'FilR'";
  if (facts.filePathStatus != 0) return "cannot tell: no whole path (" + StatusText(facts.filePathStatus) + ")";
  const std::u16string asked(picked.begin(), picked.end());
  if (facts.filePath == asked) return "the same text";
  if (SameFile(UnitsToInnerText(facts.filePath.data(), facts.filePath.size()),
               UnitsToInnerText(asked.data(), asked.size()))) {
    return "the same file, spelled otherwise";
  }
  return "another path";
}

void AskFirstOpen(CheckReport& report, const std::wstring& picked, CheckDocuments& own) {
  ReportSection& open = report.Section("E1");
  open.Answer("asked", RawOpenAsked("option 0 (don't display)"));
  open.Note("picked file: " + UnitsToStandardUtf8(std::u16string(picked.begin(), picked.end())));
  int32_t built = 0;
  const PlayAnswer first = OpenRawFile(picked, plugInDialogDontDisplay, &built);
  if (built != 0) {
    open.Answer("the open could not be built", BuildFailure(built));
    return;
  }
  ReportPlay(open, first, true);
  open.Answer("the active document", ActiveDocumentText(first, 0));
  ReportWindows(report.Section("E5"), first);

  const std::vector<uint32_t> added = AddedDocuments(first.before, first.after);
  const bool opened = added.size() == 1 && first.after.hasTarget && first.after.target == added.front();
  DocumentFacts facts;
  const int32_t read = opened ? ReadTargetDocumentFacts(&facts) : 0;
  if (!opened || read != 0) {
    const std::string why = opened ? "Get of the opened document " + StatusText(read) : "the open added no document";
    report.Section("E4").NotAsked(why);
    report.Section("E3").NotAsked(why);
    report.Section("P9").Answer("raw document", "not asked: " + why);
    ReportDocumentRowsNotAsked(report, "raw document", why);
    CloseAdded(first.before, first.after, own);
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
  again.Answer("the active document", ActiveDocumentText(second, added.front()));
  ReportWindows(again, second);
  CloseAdded(second.before, second.after, own);
  CloseAdded(first.before, first.after, own);
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
  cancelled.Answer("the active document", ActiveDocumentText(answer, 0));
  CloseAdded(answer.before, answer.after, own);
}

}  // namespace

void AskRawOpenQuestions(CheckReport& report, const std::wstring& picked, CheckDocuments& own) {
  AskQuestion(report.Section("E1"), [&] { AskFirstOpen(report, picked, own); });
  AskQuestion(report.Section("E2"), [&] { AskCancelledOpen(report, picked, own); });
}

void SkipRawOpenQuestions(CheckReport& report, const std::string& why) {
  for (const char* id : {"E1", "E4", "E5", "E3", "E2"}) {
    if (report.Section(id).Lines().empty()) report.Section(id).NotAsked(why);
  }
  if (!report.Section("D1").HasAnswer("raw document")) ReportDocumentRowsNotAsked(report, "raw document", why);
  if (!report.Section("P9").HasAnswer("raw document")) report.Section("P9").Answer("raw document", "not asked: " + why);
}

