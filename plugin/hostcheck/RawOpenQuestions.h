// The opens of a raw file the person picked, through the raw converter: option 0 asking for
// 'BD16' (E1, E4, E5, and the raw document's lines of the document rows and P9), the same open
// while its document is open (E3), and an open with the converter's dialog shown that the person
// is asked to cancel (E2).
#pragma once

#include <string>

#include "CheckReport.h"
#include "WatchedPlay.h"

void AskRawOpenQuestions(CheckReport& report, const std::wstring& picked, CheckDocuments& own);
// Fills in "not asked" wherever the opens left a question unanswered.
void SkipRawOpenQuestions(CheckReport& report, const std::string& why);
