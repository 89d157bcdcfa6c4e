#include "StandInHost.h"

#include "SystemErrorText.h"
#include "WindowsOwners.h"
#include "StandInBasicSuite.h"
#include "TextConvert.h"

namespace zk {
namespace {

StandInHost* g_currentHost = nullptr;

}  // namespace

StandInHost::StandInHost() : previous_(g_currentHost) { g_currentHost = this; }

StandInHost::~StandInHost() {
  Unload();
  g_currentHost = previous_;
}

StandInHost* StandInHost::Current() { return g_currentHost; }

const ScanResult& StandInHost::Scan(const std::wstring& folder) {
  scan_ = ScanPluginFolder(folder);
  return scan_;
}

const PluginRecord* StandInHost::FindPlugin(const std::string& menuName) const {
  for (const PluginRecord& plugin : scan_.plugins) {
    if (plugin.pipl.name == menuName) return &plugin;
  }
  return nullptr;
}

bool StandInHost::Load(const PluginRecord& plugin, std::string* error) {
  if (module_) {
    *error = "another plug-in is loaded; unload it first";
    return false;
  }
  UniqueModule module(LoadLibraryW(plugin.path.c_str()));
  if (!module) {
    *error = "cannot load " + WideToUtf8(plugin.path) + " (" + SystemErrorText(GetLastError()) + ")";
    return false;
  }
  auto entry = reinterpret_cast<AutoPluginEntry>(
      reinterpret_cast<void*>(GetProcAddress(module.Get(), plugin.pipl.entryName.c_str())));
  if (!entry) {
    *error = WideToUtf8(plugin.path) + " has no exported entry point \"" + plugin.pipl.entryName + "\"";
    return false;
  }
  module_ = std::move(module);
  entry_ = entry;
  loaded_ = std::make_unique<PluginRecord>(plugin);
  plugin_ = std::make_unique<SPPlugin>(SPPlugin{this});
  access_ = std::make_unique<SPAccess>(SPAccess{plugin_.get(), 0});

  SPAccessMessage reload = {};
  reload.when = kRuntime;
  Send(kSPAccessCaller, kSPReloadSelector, &reload, &reload.d);
  SPInterfaceMessage startup = {};
  Send(kSPInterfaceCaller, kSPStartupSelector, &startup, &startup.d);
  return true;
}

SPErr StandInHost::About() {
  SPInterfaceMessage message = {};
  return Send(kSPInterfaceCaller, kSPAboutSelector, &message, &message.d);
}

SPErr StandInHost::SendInterfaceMessage(const char* caller, const char* selector) {
  SPInterfaceMessage message = {};
  return Send(caller, selector, &message, &message.d);
}

SPErr StandInHost::DoIt(PIDialogPlayOptions playInfo) {
  PIActionDescriptor descriptor = objects_.NewDescriptor();
  PIActionParameters parameters = {playInfo, plugInDialogOptional, descriptor};
  PSActionsPlugInMessage message = {};
  message.actionParameters = &parameters;
  SPErr result = Send(kPSPhotoshopCaller, kPSDoIt, &message, &message.d);
  // The host frees the descriptor it made, and one the plug-in may have put in its place.
  objects_.FreeDescriptor(descriptor);
  if (parameters.descriptor != descriptor) objects_.FreeDescriptor(parameters.descriptor);
  return result;
}

void StandInHost::Unload() {
  if (!module_) return;
  SPInterfaceMessage shutdown = {};
  Send(kSPInterfaceCaller, kSPShutdownSelector, &shutdown, &shutdown.d);
  SPAccessMessage unload = {};
  unload.when = kShutdown;
  Send(kSPAccessCaller, kSPUnloadSelector, &unload, &unload.d);
  // The module's static destructors run inside FreeLibrary and release suites through the latest
  // basic suite, so everything of the host stays alive until after this call.
  module_.Reset();
  entry_ = nullptr;
  access_.reset();
  plugin_.reset();
  loaded_.reset();
}

SPPluginRef StandInHost::PluginRef() const { return plugin_.get(); }

const SPBasicSuite* StandInHost::LatestBasicSuite() const { return StandInBasicSuite(latestBasicTable_); }

void StandInHost::NextBasicSuite() { latestBasicTable_ = callCount_++ % kBasicSuiteTables; }

SPErr StandInHost::Send(const char* caller, const char* selector, void* message, SPMessageData* header) {
  if (!entry_) return kSPBadParameterError;
  NextBasicSuite();
  header->SPCheck = kSPValidSPMessageData;
  header->self = plugin_.get();
  header->globals = nullptr;
  header->basic = const_cast<SPBasicSuite*>(LatestBasicSuite());
  if (activateMainWindow_) {
    mainWindow_.Activate();
  } else {
    SetActiveWindow(nullptr);
  }
  SPErr result = entry_(caller, selector, message);
  calls_.push_back({caller, selector, result, latestBasicTable_});
  return result;
}

void StandInHost::RegisterEvent(DescriptorEventID event, EventHandler handler) {
  events_[event] = std::move(handler);
}

const EventHandler* StandInHost::FindEvent(DescriptorEventID event) const {
  auto it = events_.find(event);
  return it == events_.end() ? nullptr : &it->second;
}

SPAccess* StandInHost::AccessOf(SPPluginRef plugin) {
  return (plugin && plugin == plugin_.get()) ? access_.get() : nullptr;
}

SPPluginRef StandInHost::PluginOfAccess(SPAccess* access) const {
  return (access && access == access_.get()) ? plugin_.get() : nullptr;
}

}  // namespace zk
