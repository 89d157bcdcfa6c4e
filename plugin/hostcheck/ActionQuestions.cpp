#include "ActionQuestions.h"

#include "AskQuestion.h"
#include "CheckDialogs.h"
#include "DocumentSelection.h"
#include "NewDocumentQuestion.h"
#include "OpenDocumentsLook.h"
#include "RawOpenQuestions.h"
#include "ReportText.h"
#include "WatchedPlay.h"

namespace {

using ZentrastMisc::AutomationUtils::SelectDocument;

}  // namespace

void SkipActionQuestions(CheckReport& report, const std::string& why) {
  SkipRawOpenQuestions(report, why);
  SkipNewDocumentQuestion(report, why);
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
    AskRawOpenQuestions(report, picked, own);
    SkipRawOpenQuestions(report, "an earlier step of the opens did not get there");
  } else {
    SkipRawOpenQuestions(report, "no raw file was picked");
  }
  AskNewDocumentQuestion(report, own);
  SkipNewDocumentQuestion(report, "an earlier step of the new document's question did not get there");

  AskQuestion(left, [&] {
    // Whatever a question that failed half-way left open: only the check itself added documents
    // while its own windows held the host.
    CloseAdded(atStart, LookAtOpenDocuments(), own);
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
