// zkhost.exe: the stand-in plug-in host on the command line. Scans a plug-ins folder, prints the
// automation menu, sends About and Do It to a plug-in by its menu name and prints each result;
// every modal window the plug-in shows is printed and answered, so that a run never hangs. The
// documents the plug-in makes, and the documents open after the run, are printed, and the open ones
// may be written out as PNG files.
#include "AliasSuite.h"
#include "DocumentModel.h"
#include "DocumentPngFiles.h"
#include "FourCCText.h"
#include "HostCommandLine.h"
#include "ImageEvents.h"
#include "ModalRobot.h"
#include "StandInHost.h"
#include "TextConvert.h"
#include "Utf8Output.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

enum ExitCode { kExitOk = 0, kExitUsage = 2, kExitFolder = 3, kExitNotFound = 4, kExitLoad = 5, kExitWrite = 6 };

// A window still up this long after its answer, or after it was left alone ("leave"), is closed
// harder: the close box, then Escape, then Cancel, one a minute. Long enough for a bridge run's
// status window, which closes by itself when the companion is done, and for a person to act on a
// window left to them; every run still ends by itself.
constexpr DWORD kEscalateAfterMs = 60000;

std::string ResultText(SPErr result) {
  std::string text = std::to_string(result);
  if (result != 0 && zk::IsPrintableFourCC(uint32_t(result))) text += " (" + zk::FourCCText(uint32_t(result)) + ")";
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return zk::WideToUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

void PrintDialog(const zk::SeenDialog& seen) {
  zk::PrintLine("  modal window " + Quoted(zk::WideToUtf8(seen.caption)) + ", answered: " + seen.answer);
  for (const std::wstring& text : seen.texts) {
    if (!text.empty()) zk::PrintLine("    | " + zk::WideToUtf8(text));
  }
  for (const zk::DialogButton& button : seen.buttons) {
    zk::PrintLine("    [" + zk::WideToUtf8(button.text) + "]");
  }
}

void PrintCallsSince(const zk::StandInHost& host, size_t first) {
  const std::vector<zk::HostCallRecord>& calls = host.Calls();
  for (size_t i = first; i < calls.size(); ++i) {
    zk::PrintLine("  " + calls[i].caller + "/" + calls[i].selector + " -> " + ResultText(calls[i].result));
  }
}

void PrintMenu(const zk::ScanResult& scan) {
  zk::PrintLine("Automation menu:");
  if (scan.plugins.empty()) zk::PrintLine("  (empty)");
  for (const zk::PluginRecord& plugin : scan.plugins) {
    std::string line = "  " + plugin.pipl.name + "    [" + FileNameOf(plugin.path) + "]";
    if (!plugin.eventName.empty()) line += " event " + Quoted(plugin.eventName);
    zk::PrintLine(line);
  }
  for (const zk::ScanRefusal& refusal : scan.refusals) zk::PrintLine("Not in the menu: " + refusal.message);
}

void PrintSuiteSummary(zk::StandInHost& host) {
  std::vector<std::string> names;
  for (const zk::SuiteEvent& event : host.Book().SuiteEvents()) {
    bool known = false;
    for (const std::string& name : names) known = known || name == event.name;
    if (!known) names.push_back(event.name);
  }
  zk::PrintLine("Suites:");
  if (names.empty()) zk::PrintLine("  none acquired");
  for (const std::string& name : names) {
    zk::PrintLine("  " + name + ": acquired " + std::to_string(host.Book().Acquisitions(name)) + ", released " +
                  std::to_string(host.Book().Releases(name)));
  }
  zk::PrintLine("Host objects left: " + host.Objects().DescribeLive());
}

// Loads the plug-in of that menu name unless it is the loaded one.
int EnsureLoaded(zk::StandInHost& host, const std::string& name) {
  if (host.IsLoaded() && host.LoadedPlugin()->pipl.name == name) return kExitOk;
  const zk::PluginRecord* plugin = host.FindPlugin(name);
  if (!plugin) {
    zk::PrintErrorLine("zkhost: no automation plug-in named " + Quoted(name) + " in the menu");
    return kExitNotFound;
  }
  if (host.IsLoaded()) {
    zk::PrintLine("Unloading " + Quoted(host.LoadedPlugin()->pipl.name));
    size_t first = host.Calls().size();
    host.Unload();
    PrintCallsSince(host, first);
  }
  zk::PrintLine("Loading " + Quoted(name) + " from " + FileNameOf(plugin->path));
  size_t first = host.Calls().size();
  std::string error;
  if (!host.Load(*plugin, &error)) {
    zk::PrintErrorLine("zkhost: " + error);
    return kExitLoad;
  }
  PrintCallsSince(host, first);
  return kExitOk;
}

void PrintDocuments(const zk::DocumentModel& documents, const char* heading) {
  zk::PrintLine(heading);
  if (documents.Documents().empty()) zk::PrintLine("  none");
  for (const zk::HostDocument& document : documents.Documents()) {
    zk::PrintLine("  " + Quoted(document.title) + " " +
                  (document.file.empty() ? std::string("never saved") : Quoted(document.file)) +
                  (document.dirty ? ", unsaved changes" : ""));
  }
}

void PrintImported(const zk::ImageEvents& events) {
  zk::PrintLine("Documents made during the run:");
  if (events.Imported().empty()) zk::PrintLine("  none");
  for (const zk::MadeDocument& made : events.Imported()) {
    zk::PrintLine("  " + Quoted(made.title) + " " + std::to_string(made.width) + " x " + std::to_string(made.height) +
                  " pixels, " + std::to_string(made.depth) + " bits per channel, " +
                  std::to_string(made.metadataBytes) + " bytes of metadata");
  }
}

int WriteDocuments(const zk::DocumentModel& documents, const std::wstring& folder) {
  zk::PrintLine("Documents written:");
  if (documents.Documents().empty()) zk::PrintLine("  none open");
  int exitCode = kExitOk;
  for (const zk::WrittenDocument& file : zk::WriteDocumentsAsPng(documents, folder)) {
    if (file.error.empty()) {
      zk::PrintLine("  " + Quoted(file.title) + " -> " + zk::WideToUtf8(file.path));
    } else {
      zk::PrintErrorLine("zkhost: " + Quoted(file.title) + " not written: " + file.error);
      exitCode = kExitWrite;
    }
  }
  return exitCode;
}

int Run(const zk::HostOptions& options) {
  zk::StandInHost host;
  host.Answers() = options.hostAnswers;
  if (!options.aliasSuite) host.Book().RefuseSuite(kPSAliasSuite);
  zk::DocumentModel documents;
  for (const zk::HostDocument& document : options.documents) documents.Open(document);
  documents.AttachTo(host);
  zk::ImageEvents events(host, documents);
  events.EditRawDocuments(options.editRawDocuments);
  for (const zk::SuiteRefusal& refusal : options.refusedSuites) host.Book().RefuseSuite(refusal.name, refusal.version);
  for (const zk::ProcedureFailure& failure : options.failures) {
    host.Book().FailProcedure(failure.procedure, failure.status);
  }
  for (const zk::EventFailure& failure : options.eventFailures) host.Book().FailEvent(failure.event, failure.status);
  const zk::ScanResult& scan = host.Scan(options.pluginsFolder);
  if (!scan.folderError.empty()) {
    zk::PrintErrorLine("zkhost: " + scan.folderError);
    return kExitFolder;
  }
  PrintMenu(scan);
  PrintDocuments(documents, "Open documents:");

  zk::ModalRobot robot(options.answers, "cancel");
  robot.SetEscalation(kEscalateAfterMs);
  robot.SetPrinter(PrintDialog);
  for (const zk::HostCommand& command : options.commands) {
    if (int failed = EnsureLoaded(host, command.pluginName)) return failed;
    bool about = command.kind == zk::HostCommand::About;
    zk::PrintLine(std::string(about ? "About " : "Do It ") + Quoted(command.pluginName));
    size_t first = host.Calls().size();
    if (about) {
      host.About();
    } else {
      host.DoIt();
    }
    PrintCallsSince(host, first);
  }
  if (host.IsLoaded()) {
    zk::PrintLine("Unloading " + Quoted(host.LoadedPlugin()->pipl.name));
    size_t first = host.Calls().size();
    host.Unload();
    PrintCallsSince(host, first);
  }
  if (!options.commands.empty()) {
    PrintSuiteSummary(host);
    PrintImported(events);
    PrintDocuments(documents, "Open documents after the run:");
  }
  if (!options.writeDocumentsFolder.empty()) return WriteDocuments(documents, options.writeDocumentsFolder);
  return kExitOk;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.push_back(argv[i]);
  if (argv) LocalFree(argv);

  zk::HostOptions options;
  std::string error;
  if (!zk::ParseHostCommandLine(arguments, &options, &error)) {
    zk::PrintErrorLine("zkhost: " + error);
    zk::PrintErrorLine(zk::HostUsage());
    return kExitUsage;
  }
  if (options.help) {
    zk::PrintLine(zk::HostUsage());
    return kExitOk;
  }
  return Run(options);
}
