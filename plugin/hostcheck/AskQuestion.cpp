#include "AskQuestion.h"

#include <cstdint>
#include <exception>

#include "ReportText.h"

namespace {

void Failed(ReportSection& section, const std::string& why) noexcept {
  try {
    section.Answer("failed", why);
  } catch (...) {
    // Not even a line could be kept: the section ends where it stopped.
  }
}

}  // namespace

void AskQuestion(ReportSection& section, const std::function<void()>& question) noexcept {
  try {
    question();
  } catch (const uint32_t status) {
    Failed(section, "a suite it needs cannot be had (" + StatusText(int32_t(status)) + ")");
  } catch (const std::exception& error) {
    Failed(section, std::string("an error in the check: ") + error.what());
  } catch (...) {
    Failed(section, "an unknown error in the check");
  }
}
