// How one document's facts answer the report's document rows (P8, P2, P7, P10, D1, D2, D3, D4):
// asked of every open document, and of the documents the check opens and makes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "CheckReport.h"
#include "DocumentFacts.h"

// The rows a document answers, in report order.
std::vector<std::string> DocumentRowIds();
// The document's answer to each row, in the same order: (row, answer).
std::vector<std::pair<std::string, std::string>> DocumentRowAnswers(const DocumentFacts& facts);

// Writes the document's answers to the document rows, each line named by who the document is
// ("raw document", "new document").
void ReportDocumentRows(CheckReport& report, const std::string& who, const DocumentFacts& facts);
// The same rows, "not asked" and why.
void ReportDocumentRowsNotAsked(CheckReport& report, const std::string& who, const std::string& why);

// What describes the person's document rather than the host: title, path, raw bytes.
std::string DocumentNote(const DocumentFacts& facts);
