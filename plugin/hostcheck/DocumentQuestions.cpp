#include "DocumentQuestions.h"

#include <set>
#include <string>
#include <vector>

#include "AskQuestion.h"
#include "DescriptorHelpers.h"
#include "DocumentCount.h"
#include "DocumentFacts.h"
#include "DocumentRows.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "ReportText.h"

namespace {

using ZentrastMisc::AutomationUtils::OpenDocumentCount;

std::string Joined(const std::set<std::string>& answers) {
  std::string text;
  for (const std::string& answer : answers) text += (text.empty() ? "" : "; ") + answer;
  return text;
}

void AskApplication(ReportSection& section, int32_t* count, int32_t* status) {
  section.Answer("asked", "Get of the application's 'NmbD', and of the whole application");
  *status = OpenDocumentCount(count);
  section.Answer("'NmbD' status", StatusText(*status));
  DescriptorHolder application;
  const int32_t whole = PIUGetTargetInfo(classApplication, 0, application.Address(), nullptr);
  DescriptorTypeID type = 0;
  const int32_t typeStatus = whole == 0 ? sPSActionDescriptor->GetType(application.Get(), keyNumberOfDocuments, &type) : whole;
  section.Answer("'NmbD' type in the whole application", typeStatus == 0 ? CodeText(type) : StatusText(typeStatus));
  section.Note("documents open: " + std::to_string(*count));
}

}  // namespace

void AskOpenDocuments(CheckReport& report) {
  int32_t count = 0;
  int32_t countStatus = kSPUnimplementedError;  // until the question has read it
  AskQuestion(report.Section("A1"), [&] { AskApplication(report.Section("A1"), &count, &countStatus); });
  // Each row's answers from every document read, in report order.
  std::vector<std::pair<std::string, std::set<std::string>>> rows;
  for (const std::string& row : DocumentRowIds()) rows.emplace_back(row, std::set<std::string>());
  for (int32_t index = 1; index <= count; ++index) {
    ReportSection& notes = report.Section("A1");
    AskQuestion(notes, [&] {
      DocumentFacts facts;
      const int32_t status = ReadDocumentFactsAt(uint32_t(index), &facts);
      if (status != 0) {
        notes.Answer("whole document " + std::to_string(index), StatusText(status));
        return;
      }
      notes.Note("document " + std::to_string(index) + ": " + DocumentNote(facts));
      const auto answers = DocumentRowAnswers(facts);
      for (size_t row = 0; row < rows.size(); ++row) rows[row].second.insert(answers[row].second);
    });
  }
  for (const auto& [row, answers] : rows) {
    // Whether a person's documents have unsaved changes is their work, not the host's answer.
    if (row == "D3") continue;
    const std::string answer = countStatus != 0 ? "cannot tell: 'NmbD' " + StatusText(countStatus)
                               : count == 0     ? "none open"
                               : answers.empty() ? "cannot tell: no document could be read whole"
                                                 : Joined(answers);
    report.Section(row).Answer("open documents", answer);
  }
}
