// The command line of zkhost.exe:
//   zkhost.exe --plugins DIR [--list] [--about NAME] [--doit NAME]
//              [--answer ok|cancel|yes|no|escape|enter|click|close|leave]...
//              [--refuse-suite NAME[@VERSION]] [--fail SUITE.PROC[=STATUS]]
//              [--document SPEC]... [--documents FILE]
//              [--fail-event CODE[=STATUS]]... [--write-documents FOLDER] [--edit-raw-documents]
//              [--narrow-texts ansi|utf8] [--no-alias-suite] [--file-references alias|path]
//              [--unit-integers convert|refuse] [--heavy-documents]
//              [--cancel-raw-open] [--raw-converter-dialog] [--raw-open-again] [--raw-own-depth]
//              [--raw-file-names final|asked]
// A SPEC opens one document (see ParseDocumentSpec); FILE holds one SPEC a line (# comments).
// --fail-event makes every play of that event (four characters, e.g. Impr) fail; after the run,
// --write-documents writes every open document into FOLDER as PNG. --edit-raw-documents gives
// every document the raw converter opens unsaved changes right after it opens. The options from
// --narrow-texts on choose how the host answers where hosts differ (HostAnswers.h).
// About and Do It run in the order given; each --answer answers the next modal window.
//   zkhost.exe --help   prints the usage (HostUsage) and does nothing else.
#pragma once

#include "DocumentModel.h"
#include "HostAnswers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zk {

struct HostCommand {
  enum Kind { About, DoIt } kind;
  std::string pluginName;  // the menu name, UTF-8
};

struct SuiteRefusal {
  std::string name;
  int32_t version;  // kAnyVersion for every version
};

struct ProcedureFailure {
  std::string procedure;  // "PSActionReference.PutEnumerated"
  int32_t status;
};

struct EventFailure {
  uint32_t event;  // 'Impr'
  int32_t status;
};

struct HostOptions {
  bool help = false;  // print the usage, nothing else
  std::wstring pluginsFolder;
  bool list = false;
  std::vector<HostCommand> commands;
  std::vector<std::string> answers;
  std::vector<SuiteRefusal> refusedSuites;
  std::vector<ProcedureFailure> failures;
  std::vector<EventFailure> eventFailures;
  std::wstring writeDocumentsFolder;    // empty: write none
  HostAnswers hostAnswers;              // how the host answers where hosts differ
  bool aliasSuite = true;               // false: the host offers no alias suite, as an older one
  bool editRawDocuments = false;        // as a person working on them while the companion runs
  std::vector<HostDocument> documents;  // open when the host starts, in this order
};

constexpr int32_t kDefaultInjectedStatus = -50;

// False with a message for an unknown option, a missing value, a bad answer, version or status.
// A status is a decimal or 0x-hexadecimal number, or four characters such as Parm.
bool ParseHostCommandLine(const std::vector<std::wstring>& arguments, HostOptions* options, std::string* error);

const char* HostUsage();

}  // namespace zk
