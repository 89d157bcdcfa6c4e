// Aliases made from a fixed path that no real file needs to have, with the alias suite and as the
// plug-in's own 8-bit text, read back through the host: P3 (paths through the suite), P5 (what an
// alias holds), P6 (a buffer too short for the path), P1 (how the host reads 8-bit text).
#pragma once

#include "CheckReport.h"

// P3, P5 and P6: only aliases the host itself made are handed to it.
void AskAliasQuestions(CheckReport& report);
// P1 hands the alias suite a handle the check filled with 8-bit text, which a host may not expect
// there: asked only once the person agreed to the questions that need actions.
void AskEightBitAliasQuestion(CheckReport& report);
