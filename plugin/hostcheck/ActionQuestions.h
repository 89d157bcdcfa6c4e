// The questions that open and make documents, asked only once the person has agreed: opens of a
// raw file they pick through the raw converter (E1, E4, E5, E3), an open they cancel in the
// converter's dialog (E2), a new document (E7), those documents' lines of the document rows, and
// what the check left (C1). Every document these add is closed without saving; no other document
// is touched, and the document that was active is active again.
#pragma once

#include <string>
#include <vector>

#include "CheckReport.h"

// What it could not close: "document ID: status" each.
std::vector<std::string> AskActionQuestions(CheckReport& report);
// Every section of these questions says "not asked" and why.
void SkipActionQuestions(CheckReport& report, const std::string& why);
