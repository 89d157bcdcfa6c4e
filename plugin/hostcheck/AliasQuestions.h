// Aliases made from a fixed path that no real file needs to have, with the alias suite and as the
// plug-in's own 8-bit text, read back through the host: P3 (paths through the suite), P5 (what an
// alias holds), P6 (a buffer too short for the path), P1 (how the host reads 8-bit text).
#pragma once

#include <string>

#include "CheckReport.h"
#include "HostTypes.h"

// P3, P5 and P6: only aliases the host itself made are handed to it.
void AskAliasQuestions(CheckReport& report);
// P1 hands the alias suite a handle the check filled with 8-bit text, which a host may not expect
// there: asked only once the person agreed to the questions that need actions.
void AskEightBitAliasQuestion(CheckReport& report);

// The alias suite's UTF-16 path of an alias (up to its zero): the host's status, or 'S!Fd' when
// the host has no alias suite.
int32_t AliasUnicodePath(Handle alias, std::u16string* path);
