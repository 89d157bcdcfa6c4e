// One question of the check, asked so that nothing it meets can end the check or reach the host: a
// suite the host does not offer (the holders raise its status), no memory, any other exception. The
// failure is written into the question's section and the check goes on with the next one.
#pragma once

#include <functional>

#include "CheckReport.h"

void AskQuestion(ReportSection& section, const std::function<void()>& question) noexcept;
