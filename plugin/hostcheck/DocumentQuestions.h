// The application and every open document, read without changing anything: A1, and the open
// documents' lines of the document rows (DocumentRows.h).
#pragma once

#include "CheckReport.h"

void AskOpenDocuments(CheckReport& report);
