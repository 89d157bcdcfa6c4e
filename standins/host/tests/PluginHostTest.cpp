// The stand-in host with real modules: the fixture plug-ins built beside this test program.
#include "ModalRobot.h"
#include "StandInHost.h"
#include "AccessSuite.h"
#include "StandInBasicSuite.h"
#include "UIHooksSuite.h"
#include "ZStringSuite.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring FixtureFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/")) + L"\\fixture-plugins";
}

std::string FileName(const std::wstring& path) { return zk::WideToUtf8(path.substr(path.find_last_of(L"\\/") + 1)); }

std::string Journal(const zk::StandInHost& host) {
  using JournalProc = const char* (*)();
  auto journal = reinterpret_cast<JournalProc>(
      reinterpret_cast<void*>(GetProcAddress(host.Module(), "FixtureJournal")));
  return journal ? journal() : "";
}

std::vector<std::string> CallNames(const zk::StandInHost& host) {
  std::vector<std::string> names;
  for (const zk::HostCallRecord& call : host.Calls()) names.push_back(call.caller + "/" + call.selector);
  return names;
}

TEST(PluginScan, ListsAutomationPluginsAndRefusesTheRest) {
  zk::StandInHost host;
  const zk::ScanResult& scan = host.Scan(FixtureFolder());
  ASSERT_TRUE(scan.folderError.empty()) << scan.folderError;
  ASSERT_EQ(2u, scan.plugins.size());
  EXPECT_EQ("Fixture Automation...", scan.plugins[0].pipl.name);
  EXPECT_EQ("Good.8li", FileName(scan.plugins[0].path));
  EXPECT_EQ("Tests", scan.plugins[0].pipl.category);
  EXPECT_EQ("AutoPluginMain", scan.plugins[0].pipl.entryName);
  EXPECT_EQ("fixture-scope", scan.plugins[0].pipl.terminology.scope);
  EXPECT_EQ("Fixture Event", scan.plugins[0].eventName);
  EXPECT_EQ("Fixture Without Entry", scan.plugins[1].pipl.name);

  struct Expected {
    const char* file;
    const char* messagePart;
  } const refusals[] = {
      {"BadName.8li", "BadName.8li: malformed property list: property 'name': the name's length byte runs past"},
      {"Filter.8li", "Filter.8li: skipped: its kind is '8BFM', not an automation plug-in"},
      {"NoTerminology.8li", "NoTerminology.8li: 'hstm' names terminology resource AETE 16001, which the module"},
      {"NotAModule.8li", "NotAModule.8li: cannot be opened as a module"},
  };
  ASSERT_EQ(4u, scan.refusals.size());
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(refusals[i].file, FileName(scan.refusals[i].path));
    EXPECT_NE(std::string::npos, scan.refusals[i].message.find(refusals[i].messagePart)) << scan.refusals[i].message;
  }
  EXPECT_EQ(nullptr, host.FindPlugin("Fixture Filter"));
}

TEST(PluginScan, AMissingFolderIsReported) {
  zk::ScanResult scan = zk::ScanPluginFolder(FixtureFolder() + L"\\no such folder");
  EXPECT_NE(std::string::npos, scan.folderError.find("cannot read the plug-ins folder")) << scan.folderError;
  EXPECT_TRUE(scan.plugins.empty());
}

class PluginCalls : public testing::Test {
 protected:
  void SetUp() override {
    host.Scan(FixtureFolder());
    plugin = host.FindPlugin("Fixture Automation...");
    ASSERT_NE(nullptr, plugin);
  }

  zk::StandInHost host;
  const zk::PluginRecord* plugin = nullptr;
};

TEST_F(PluginCalls, SendsTheHostsMessagesWithAFreshBasicSuiteEachTime) {
  std::string error;
  ASSERT_TRUE(host.Load(*plugin, &error)) << error;
  EXPECT_EQ(0, host.About());
  EXPECT_EQ(0, host.DoIt(plugInDialogSilent));
  EXPECT_EQ(0, host.SendInterfaceMessage("SP Interface", "Other"));
  std::string journal = Journal(host);
  EXPECT_EQ("SP Access/Reload when=1\n"
            "SP Interface/Startup\n"
            "SP Interface/About\n"
            "name=Fixture Automation... module=own window=active\n"
            "PS Photoshop/Do It\n"
            "playInfo=2 descriptor=set\n"
            "SP Interface/Other\n",
            journal);  // a header the fixture finds wrong (or a reused basic suite) shows as BAD-HEADER
  host.Unload();
  EXPECT_EQ((std::vector<std::string>{"SP Access/Reload", "SP Interface/Startup", "SP Interface/About",
                                      "PS Photoshop/Do It", "SP Interface/Other", "SP Interface/Shutdown",
                                      "SP Access/Unload"}),
            CallNames(host));
  EXPECT_FALSE(host.IsLoaded());
}

// The fixture releases its suites from a static destructor inside FreeLibrary, through the basic
// suite of the latest call (Unload): the host must still serve them then.
TEST_F(PluginCalls, SuitesAreReleasedAtUnloadThroughTheLatestBasicSuite) {
  std::string error;
  ASSERT_TRUE(host.Load(*plugin, &error)) << error;
  host.About();
  host.About();
  host.DoIt();
  for (const char* suite : {kPSUIHooksSuite, kASZStringSuite, kSPAccessSuite}) {
    EXPECT_EQ(1, host.Book().Acquisitions(suite)) << suite;  // once, kept across calls
    EXPECT_EQ(0, host.Book().Releases(suite)) << suite;
  }
  host.Unload();
  int latest = host.LatestBasicTable();
  EXPECT_EQ("SP Access/Unload", host.Calls().back().caller + "/" + host.Calls().back().selector);
  EXPECT_EQ(latest, host.Calls().back().basicTable);
  int releases = 0;
  for (const zk::SuiteEvent& event : host.Book().SuiteEvents()) {
    if (event.acquire) continue;
    ++releases;
    EXPECT_EQ(latest, event.basicTable) << event.name;
    EXPECT_EQ(kSPNoError, event.status) << event.name;
  }
  EXPECT_EQ(3, releases);
  for (const char* suite : {kPSUIHooksSuite, kASZStringSuite, kSPAccessSuite}) {
    EXPECT_EQ(0, host.Book().Outstanding(suite)) << suite;
  }
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

TEST_F(PluginCalls, EachCallCarriesADistinctBasicSuite) {
  std::string error;
  ASSERT_TRUE(host.Load(*plugin, &error)) << error;
  host.About();
  host.Unload();
  const std::vector<zk::HostCallRecord>& calls = host.Calls();
  for (size_t i = 1; i < calls.size(); ++i) {
    EXPECT_NE(zk::StandInBasicSuite(calls[i - 1].basicTable), zk::StandInBasicSuite(calls[i].basicTable)) << i;
  }
}

TEST_F(PluginCalls, ARefusedSuiteReachesThePlugin) {
  host.Book().RefuseSuite(kPSUIHooksSuite);
  std::string error;
  ASSERT_TRUE(host.Load(*plugin, &error)) << error;
  EXPECT_EQ(kSPSuiteNotFoundError, host.DoIt());
  host.Unload();
  EXPECT_EQ(0, host.Book().Acquisitions(kPSUIHooksSuite));
  EXPECT_EQ(0, host.Book().Releases(kPSUIHooksSuite));  // never acquired, never released
}

TEST_F(PluginCalls, TheMainWindowIsActiveUnlessTheTestSaysOtherwise) {
  RECT placed = {50, 60, 650, 460};
  host.SetMainWindowRect(placed);
  RECT actual = {};
  GetWindowRect(host.MainWindowHandle(), &actual);
  EXPECT_EQ(50, actual.left);
  EXPECT_EQ(460, actual.bottom);
  host.SetActivateMainWindow(false);
  std::string error;
  ASSERT_TRUE(host.Load(*plugin, &error)) << error;
  host.About();
  EXPECT_NE(std::string::npos, Journal(host).find("window=other"));
}

TEST_F(PluginCalls, AModuleWithoutItsEntryPointIsNotLoaded) {
  const zk::PluginRecord* noEntry = host.FindPlugin("Fixture Without Entry");
  ASSERT_NE(nullptr, noEntry);
  std::string error;
  EXPECT_FALSE(host.Load(*noEntry, &error));
  EXPECT_NE(std::string::npos, error.find("has no exported entry point \"MissingEntry\"")) << error;
  EXPECT_FALSE(host.IsLoaded());
  EXPECT_TRUE(host.Calls().empty());
}

TEST_F(PluginCalls, OneModuleAtATime) {
  std::string error;
  ASSERT_TRUE(host.Load(*plugin, &error)) << error;
  EXPECT_FALSE(host.Load(*plugin, &error));
  EXPECT_NE(std::string::npos, error.find("unload it first"));
}

}  // namespace
