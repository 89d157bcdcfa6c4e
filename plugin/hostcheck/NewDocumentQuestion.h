// A new document, as File > New makes it ('Mk  ', E7), and its lines of the document rows
// ("new document"): what the host's new document holds, 'IsDr' (D3) above all.
#pragma once

#include <string>

#include "CheckReport.h"
#include "WatchedPlay.h"

void AskNewDocumentQuestion(CheckReport& report, CheckDocuments& own);
// Fills in "not asked" wherever the question left a line unanswered.
void SkipNewDocumentQuestion(CheckReport& report, const std::string& why);
