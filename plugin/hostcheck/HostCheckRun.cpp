#include "HostCheckRun.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ActionQuestions.h"
#include "AliasQuestions.h"
#include "AskQuestion.h"
#include "CheckDialogs.h"
#include "CheckReport.h"
#include "DocumentQuestions.h"
#include "HostCheckResourceIds.h"
#include "HostProgram.h"
#include "ReportFile.h"
#include "StringLoader.h"
#include "SuiteQuestions.h"

namespace {

void WriteHeader(CheckReport& report) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  char written[64] = {};
  std::snprintf(written, sizeof written, "%04u-%02u-%02u %02u:%02u (local time)", unsigned(now.wYear),
                unsigned(now.wMonth), unsigned(now.wDay), unsigned(now.wHour), unsigned(now.wMinute));
  report.HeaderNote("check: ZentrastKolvaneHostCheck.8li " HOSTCHECK_VERSION_TEXT ", written " + std::string(written));
  report.HeaderNote("host program: " + HostProgramText());
  report.HeaderNote("code pages: ANSI " + std::to_string(GetACP()) + ", OEM " + std::to_string(GetOEMCP()));
  report.HeaderNote("Lines beginning with '#' describe this computer and its files; the others say how the host "
                    "answers, and are what reports are compared by.");
}

// Documents the check added and could not close: the person must know, and may close them.
std::wstring LeftOpen(const std::vector<std::string>& notClosed) {
  std::wstring text;
  // The lines are the check's own: identifiers and statuses, plain ASCII.
  for (const std::string& line : notClosed) text += L"\n" + std::wstring(line.begin(), line.end());
  return text.empty() ? text : L"\n\n" + LoadModuleStringW(IDS_CHECK_LEFT_OPEN) + text;
}

std::wstring WriteReport(const CheckReport& report) {
  const std::string text = report.Text();
  std::wstring error = L"the system names neither a Documents nor a TEMP folder";
  for (const std::wstring& path : ReportPaths()) {
    if (WriteReportFile(path, text, &error)) return LoadModuleStringW(IDS_CHECK_DONE) + L"\n\n" + path;
  }
  return LoadModuleStringW(IDS_CHECK_NOT_WRITTEN) + L"\n\n" + error;
}

}  // namespace

SPErr RunHostCheck(PSActionsPlugInMessage*) {
  CheckReport report;
  WriteHeader(report);
  AskQuestion(report.Section("S1"), [&] { AskSuiteVersions(report); });
  AskAliasQuestions(report);
  AskOpenDocuments(report);
  std::vector<std::string> notClosed;
  if (AgreesToActions()) {
    AskEightBitAliasQuestion(report);
    AskQuestion(report.Section("C1"), [&] { notClosed = AskActionQuestions(report); });
    SkipActionQuestions(report, "the check could not get there");
  } else {
    const std::string why = "the person did not agree to questions that open documents";
    report.Section("P1").NotAsked("the person did not agree to questions that hand the host what it did not make");
    SkipActionQuestions(report, why);
    report.Section("C1").NotAsked(why);
  }
  ShowCheckDone(WriteReport(report) + LeftOpen(notClosed));
  return kSPNoError;
}
