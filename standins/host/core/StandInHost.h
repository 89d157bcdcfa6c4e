// The stand-in plug-in host: scans a plug-ins folder, loads one module at a time, sends it the
// messages the host sends (on the thread that calls these methods, the "main thread"), and offers
// every suite of the host interface through its basic suite.
//
// Suite procedures are plain C function pointers without a context argument, so exactly one
// StandInHost is "current" per process: the one constructed last and still alive. Constructing a
// second one while one exists makes the new one current until it is destroyed.
//
//   zk::StandInHost host;
//   zk::ScanResult scan = host.Scan(L"C:\\plugins");
//   std::string error;
//   host.Load(*host.FindPlugin("Zentrast Kolvane..."), &error);   // Reload, Startup
//   { zk::ModalRobot robot({"escape"}); host.About(); }            // the about box, answered by Escape
//   SPErr result = host.DoIt();
//   host.Unload();                                                // Shutdown, Unload, FreeLibrary
//   host.Book().Acquisitions(kPSUIHooksSuite); host.Objects().Live().Total();
#pragma once

#include "HostAnswers.h"
#include "HostBookkeeping.h"
#include "HostObjectTable.h"
#include "HostTypes.h"
#include "MainWindow.h"
#include "PluginScanner.h"
#include "TypeIdTable.h"
#include "WindowsOwners.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct SPPlugin;
struct SPAccess;

namespace zk {

// Carries out a played event: reads the parameters (null when Play got none), fills the result.
using EventHandler = std::function<OSErr(DescriptorEventID event, const DescriptorData* parameters,
                                         PIDialogPlayOptions options, DescriptorData* result)>;
// Resolves a reference for ActionControl.Get into a descriptor of the object's properties.
using GetResolver = std::function<OSErr(const ReferenceData& reference, DescriptorData* result)>;

struct HostCallRecord {
  std::string caller;
  std::string selector;
  SPErr result = 0;
  int basicTable = 0;  // the basic-suite table this call's message carried
};

class StandInHost {
 public:
  StandInHost();
  ~StandInHost();  // unloads a loaded module first
  StandInHost(const StandInHost&) = delete;
  StandInHost& operator=(const StandInHost&) = delete;

  static StandInHost* Current();

  // --- Plug-ins folder and menu
  const ScanResult& Scan(const std::wstring& folder);
  const ScanResult& LastScan() const { return scan_; }
  const PluginRecord* FindPlugin(const std::string& menuName) const;  // by its 'name'

  // --- One module at a time. Load: LoadLibrary, find the entry its property list names for this
  // architecture ('8664' or 'wa64'), send Reload and Startup.
  bool Load(const PluginRecord& plugin, std::string* error);
  bool IsLoaded() const { return module_.Valid(); }
  SPErr About();
  // Sends "Do It" with a descriptor the host makes (and frees afterwards) and the given play option.
  SPErr DoIt(PIDialogPlayOptions playInfo = plugInDialogDisplay);
  // Sends any caller/selector with an interface message (tests of messages the module ignores).
  SPErr SendInterfaceMessage(const char* caller, const char* selector);
  // Sends Shutdown and Unload, then FreeLibrary. The suites stay valid: the module releases its
  // suites from its static destructors during FreeLibrary.
  void Unload();
  HMODULE Module() const { return module_.Get(); }
  SPPluginRef PluginRef() const;
  const PluginRecord* LoadedPlugin() const { return loaded_.get(); }
  const std::vector<HostCallRecord>& Calls() const { return calls_; }

  // --- Suites and their bookkeeping
  // Every call hands the module the next basic-suite table (a distinct address from the previous call's).
  const SPBasicSuite* LatestBasicSuite() const;
  int LatestBasicTable() const { return latestBasicTable_; }
  HostBookkeeping& Book() { return book_; }
  // How it answers where hosts differ (HostAnswers.h); set before the plug-in runs.
  HostAnswers& Answers() { return answers_; }
  const HostAnswers& Answers() const { return answers_; }
  HostObjectTable& Objects() { return objects_; }
  TypeIdTable& TypeIds() { return typeIds_; }

  // --- The host's main window (created visible by the constructor)
  HWND MainWindowHandle() const { return mainWindow_.Handle(); }
  void SetMainWindowRect(const RECT& rect) { mainWindow_.SetRect(rect); }
  // Whether the main window is made the active window before each call (default yes). Off, the
  // module finds no active window.
  void SetActivateMainWindow(bool activate) { activateMainWindow_ = activate; }

  // --- Action control: the handlers of played events (ImageEvents registers the document events)
  void RegisterEvent(DescriptorEventID event, EventHandler handler);
  const EventHandler* FindEvent(DescriptorEventID event) const;
  void SetGetResolver(GetResolver resolver) { resolver_ = std::move(resolver); }
  const GetResolver& Resolver() const { return resolver_; }

  // For the access suite: the access record of the loaded plug-in.
  SPAccess* AccessOf(SPPluginRef plugin);
  SPPluginRef PluginOfAccess(SPAccess* access) const;
  AutoPluginEntry Entry() const { return entry_; }

 private:
  SPErr Send(const char* caller, const char* selector, void* message, SPMessageData* header);
  void NextBasicSuite();

  StandInHost* previous_ = nullptr;
  HostBookkeeping book_;
  HostAnswers answers_;
  HostObjectTable objects_;
  TypeIdTable typeIds_;
  MainWindow mainWindow_;
  bool activateMainWindow_ = true;
  ScanResult scan_;
  std::unique_ptr<PluginRecord> loaded_;
  std::unique_ptr<SPPlugin> plugin_;
  std::unique_ptr<SPAccess> access_;
  UniqueModule module_;
  AutoPluginEntry entry_ = nullptr;
  int latestBasicTable_ = -1;
  int callCount_ = 0;
  std::vector<HostCallRecord> calls_;
  std::map<DescriptorEventID, EventHandler> events_;
  GetResolver resolver_;
};

}  // namespace zk

// The host's opaque plug-in and access records (declared, incomplete, by the host interface).
struct SPPlugin {
  zk::StandInHost* host;
};

struct SPAccess {
  SPPlugin* plugin;
  int acquisitions;
};
