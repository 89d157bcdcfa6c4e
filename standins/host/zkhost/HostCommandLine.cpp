#include "HostCommandLine.h"

#include "HostBookkeeping.h"
#include "HostCodes.h"
#include "HostTypes.h"
#include "RobotAnswer.h"
#include "TextConvert.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <cstdlib>

namespace zk {
namespace {

bool ParseNumber(const std::string& text, int32_t* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long parsed = std::strtoll(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > UINT32_MAX) return false;
  *value = int32_t(uint32_t(parsed));  // 0x5061726D and 1348563565 alike
  return true;
}

bool ParseStatus(const std::string& text, int32_t* status) {
  if (ParseNumber(text, status)) return true;
  if (text.size() != 4) return false;
  char code[5] = {text[0], text[1], text[2], text[3], '\0'};
  *status = int32_t(FourCC(code));
  return true;
}

// One document spec a line; blank lines and lines starting with # are skipped.
bool ReadDocumentFile(const std::wstring& path, std::vector<HostDocument>* documents, std::string* error) {
  std::ifstream file{std::filesystem::path(path)};
  if (!file) {
    *error = "cannot read the documents file \"" + WideToUtf8(path) + "\"";
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    HostDocument document;
    if (!ParseDocumentSpec(line, &document, error)) {
      *error = WideToUtf8(path) + " line " + std::to_string(number) + ": " + *error;
      return false;
    }
    documents->push_back(document);
  }
  return true;
}

// The options that choose between two answers: the first of each pair is the default.
bool ParseChoice(const std::string& option, const std::string& text, HostAnswers* answers, std::string* error) {
  const struct {
    const char* option;
    const char* first;
    const char* second;
    void (*set)(HostAnswers* answers, bool second);
  } choices[] = {
      {"--narrow-texts", "ansi", "utf8",
       [](HostAnswers* a, bool utf8) { a->narrowTexts = utf8 ? NarrowTexts::Utf8 : NarrowTexts::Ansi; }},
      {"--file-references", "alias", "path",
       [](HostAnswers* a, bool path) { a->fileReferenceType = path ? typePath : typeAlias; }},
      {"--unit-integers", "convert", "refuse",
       [](HostAnswers* a, bool refuse) { a->refuseIntegerOfUnitValue = refuse; }},
      {"--raw-file-names", "final", "asked",
       [](HostAnswers* a, bool asked) { a->rawFileNamesAsAsked = asked; }},
  };
  for (const auto& choice : choices) {
    if (option != choice.option) continue;
    if (text != choice.first && text != choice.second) {
      *error = option + " takes " + choice.first + " or " + choice.second + ", not \"" + text + "\"";
      return false;
    }
    choice.set(answers, text == choice.second);
  }
  return true;
}

}  // namespace

const char* HostUsage() {
  return "usage: zkhost.exe --plugins DIR [--list] [--about NAME] [--doit NAME]\n"
         "                  [--answer ok|cancel|yes|no|escape|enter|click|close|leave|file=PATH]...\n"
         "                  [--refuse-suite NAME[@VERSION]] [--fail SUITE.PROC[=STATUS]]\n"
         "                  [--document title=T|file=PATH|width=W|height=H|unit=pixels|distance|resolution=R|depth=D|dirty=yes|no|cloud=yes|no]...\n"
         "                  [--documents FILE]   (one document a line)\n"
         "                  [--fail-event CODE[=STATUS]]...   (CODE: four characters, e.g. Impr)\n"
         "                  [--write-documents FOLDER]   (after the run: every open document as PNG)\n"
         "                  [--edit-raw-documents]   (each document the raw converter opens gets unsaved changes)\n"
         "                  How the host answers (the first choice is the default; docs/host-fidelity.md):\n"
         "                  [--narrow-texts ansi|utf8]   (titles and 8-bit paths in the ANSI code page or UTF-8)\n"
         "                  [--no-alias-suite]   (no alias utility suite, as an older host)\n"
         "                  [--file-references alias|path]   ('FilR' typed 'alis' or 'Pth ')\n"
         "                  [--unit-integers convert|refuse]   (an integer read of a unit value)\n"
         "                  [--heavy-documents]   (a whole document carries dozens of keys and a long text)\n"
         "                  [--cancel-raw-open]   (every raw open answers success, opens nothing)\n"
         "                  [--raw-converter-dialog]   (the raw converter asks, OK or Cancel, unless silent)\n"
         "                  [--raw-open-again]   (a file open already opens as one more document)\n"
         "                  [--raw-own-depth]   (the raw converter ignores the depth asked for)\n"
         "                  [--raw-file-names final|asked]   (the raw converter names a file by its final path, or as asked)\n"
         "       zkhost.exe --help";
}

bool ParseHostCommandLine(const std::vector<std::wstring>& arguments, HostOptions* options, std::string* error) {
  *options = HostOptions();
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string option = WideToUtf8(arguments[i]);
    auto value = [&](std::string* out) {
      if (i + 1 >= arguments.size()) {
        *error = option + " needs a value";
        return false;
      }
      *out = WideToUtf8(arguments[++i]);
      return true;
    };
    std::string text;
    if (option == "--help") {
      options->help = true;
    } else if (option == "--list") {
      options->list = true;
    } else if (option == "--plugins") {
      if (!value(&text)) return false;
      options->pluginsFolder = Utf8ToWide(text);
    } else if (option == "--about" || option == "--doit") {
      if (!value(&text)) return false;
      options->commands.push_back({option == "--about" ? HostCommand::About : HostCommand::DoIt, text});
    } else if (option == "--answer") {
      if (!value(&text)) return false;
      RobotReply reply;
      if (!ParseRobotReply(text, &reply)) {
        *error = "unknown answer \"" + text + "\" (ok, cancel, yes, no, escape, enter, click, close, leave, file=PATH)";
        return false;
      }
      options->answers.push_back(text);
    } else if (option == "--refuse-suite") {
      if (!value(&text)) return false;
      SuiteRefusal refusal = {text, kAnyVersion};
      size_t at = text.rfind('@');
      if (at != std::string::npos) {
        refusal.name = text.substr(0, at);
        if (!ParseNumber(text.substr(at + 1), &refusal.version) || refusal.version < 0) {
          *error = "bad suite version in \"" + text + "\"";
          return false;
        }
      }
      if (refusal.name.empty()) {
        *error = "--refuse-suite needs a suite name";
        return false;
      }
      options->refusedSuites.push_back(refusal);
    } else if (option == "--fail") {
      if (!value(&text)) return false;
      ProcedureFailure failure = {text, kDefaultInjectedStatus};
      size_t equals = text.find('=');
      if (equals != std::string::npos) {
        failure.procedure = text.substr(0, equals);
        if (!ParseStatus(text.substr(equals + 1), &failure.status)) {
          *error = "bad status in \"" + text + "\" (a number or four characters such as Parm)";
          return false;
        }
      }
      if (failure.procedure.find('.') == std::string::npos) {
        *error = "--fail needs SUITE.PROCEDURE, e.g. PSActionReference.PutEnumerated";
        return false;
      }
      options->failures.push_back(failure);
    } else if (option == "--fail-event") {
      if (!value(&text)) return false;
      EventFailure failure = {0, kDefaultInjectedStatus};
      if (text.size() < 4 || (text.size() > 4 && (text[4] != '=' || !ParseStatus(text.substr(5), &failure.status)))) {
        *error = "--fail-event needs a four-character event and an optional status, e.g. Impr or Impr=-108: \"" +
                 text + "\"";
        return false;
      }
      const char code[5] = {text[0], text[1], text[2], text[3], '\0'};
      failure.event = FourCC(code);
      options->eventFailures.push_back(failure);
    } else if (option == "--narrow-texts" || option == "--file-references" || option == "--unit-integers" ||
               option == "--raw-file-names") {
      if (!value(&text)) return false;
      if (!ParseChoice(option, text, &options->hostAnswers, error)) return false;
    } else if (option == "--no-alias-suite") {
      options->aliasSuite = false;
    } else if (option == "--heavy-documents") {
      options->hostAnswers.heavyDocuments = true;
    } else if (option == "--cancel-raw-open") {
      options->hostAnswers.cancelEveryRawOpen = true;
    } else if (option == "--raw-converter-dialog") {
      options->hostAnswers.rawConverterDialog = true;
    } else if (option == "--raw-open-again") {
      options->hostAnswers.rawOpenAgain = true;
    } else if (option == "--raw-own-depth") {
      options->hostAnswers.rawOwnDepth = true;
    } else if (option == "--edit-raw-documents") {
      options->editRawDocuments = true;
    } else if (option == "--write-documents") {
      if (!value(&text)) return false;
      options->writeDocumentsFolder = Utf8ToWide(text);
    } else if (option == "--document") {
      if (!value(&text)) return false;
      HostDocument document;
      if (!ParseDocumentSpec(text, &document, error)) return false;
      options->documents.push_back(document);
    } else if (option == "--documents") {
      if (!value(&text)) return false;
      if (!ReadDocumentFile(Utf8ToWide(text), &options->documents, error)) return false;
    } else {
      *error = "unknown option \"" + option + "\"";
      return false;
    }
  }
  if (options->pluginsFolder.empty() && !options->help) {
    *error = "--plugins DIR is required";
    return false;
  }
  return true;
}

}  // namespace zk
