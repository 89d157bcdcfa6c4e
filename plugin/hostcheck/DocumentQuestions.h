// The application and every open document, read without changing anything (A1, and the open
// documents' lines of P8, P2, P10, D1, D2, D4); and how one document's facts answer those rows,
// which the check also asks of the documents it opens and makes.
#pragma once

#include <string>

#include "CheckReport.h"
#include "DocumentFacts.h"

void AskOpenDocuments(CheckReport& report);

// Writes the document's answers to the document rows, each line named by who the document is
// ("raw document", "new document").
void ReportDocumentRows(CheckReport& report, const std::string& who, const DocumentFacts& facts);
// The same rows, "not asked" and why.
void ReportDocumentRowsNotAsked(CheckReport& report, const std::string& who, const std::string& why);

// What describes the person's document rather than the host: title, path, raw bytes.
std::string DocumentNote(const DocumentFacts& facts);

// Reads the target document whole: the host's status of the Get.
int32_t ReadTargetDocument(DocumentFacts* facts);
