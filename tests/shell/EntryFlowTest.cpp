// The module as the host drives it: loaded from the plug-ins folder by the stand-in host, called
// with each caller and selector, with suites refused and procedures failing on purpose, and
// unloaded. No companion is installed here, so "Do It" ends in the "not found" message.
#include <gtest/gtest.h>

#include "CompanionInstall.h"
#include "HangCeiling.h"
#include "HostSuitesAll.h"
#include "ModalRobot.h"
#include "StandInHost.h"
#include "TestPaths.h"

namespace {

// A ceiling for a hang: every call here returns within a second, its windows answered at once.
constexpr DWORD kCallCeilingMs = 30000;

class EntryFlow : public ::testing::Test {
 protected:
  void SetUp() override { Reload(); }

  // A freshly loaded module (the previous one unloaded first), so no suite is held yet.
  void Reload() {
    hostOwner.reset();
    hostOwner = std::make_unique<zk::StandInHost>();
    hostOwner->Scan(PluginsFolder());
    const zk::PluginRecord* plugin = hostOwner->FindPlugin("Zentrast Kolvane...");
    ASSERT_NE(plugin, nullptr);
    std::string error;
    ASSERT_TRUE(hostOwner->Load(*plugin, &error)) << error;
  }

  // "caption | first non-empty text" of each modal window the call showed, in order; each is dismissed.
  template <class Call>
  std::vector<std::wstring> Shown(Call call, SPErr* result) {
    zk::ModalRobot robot({}, "cancel");
    {
      const HangCeiling ceiling("the host's call of the module did not return", kCallCeilingMs);
      *result = call();
    }
    std::vector<std::wstring> captions;
    for (const zk::SeenDialog& dialog : robot.Seen()) {
      std::wstring text;
      for (const std::wstring& t : dialog.texts) {
        if (!t.empty()) {
          text = t;
          break;
        }
      }
      captions.push_back(dialog.caption + L" | " + text);
    }
    return captions;
  }

  CompanionInstall nothingInstalled;
  std::unique_ptr<zk::StandInHost> hostOwner;
  zk::StandInHost& host() { return *hostOwner; }
};

const std::wstring kAboutBox = L" | Zentrast Kolvane Plug-In ";
const std::wstring kBrowse = L"Please browse to the location where Zentrast Kolvane is installed | ";
const std::wstring kNotFound = L"Zentrast Kolvane Not Found | Can't find Zentrast Kolvane on the system";

TEST_F(EntryFlow, CallerAndSelectorPairs) {
  const struct {
    const char* caller;
    const char* selector;
    std::vector<std::wstring> shown;
  } cases[] = {
      {"SP Interface", "About", {kAboutBox}},
      {"PS Photoshop", "Do It", {kBrowse, kNotFound}},
      {"SP Interface", "Startup", {}},
      {"SP Interface", "Shutdown", {}},
      {"SP Interface", "Do It", {}},
      {"PS Photoshop", "About", {}},
      {"PS Photoshop", "do it", {}},
      {"SP Access", "Reload", {}},
      {"SP Access", "Unload", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caller) + " / " + c.selector);
    SPErr result = -1;
    const bool doIt = std::string(c.caller) == "PS Photoshop" && std::string(c.selector) == "Do It";
    const auto shown = Shown([&] { return doIt ? host().DoIt() : host().SendInterfaceMessage(c.caller, c.selector); },
                             &result);
    EXPECT_EQ(result, kSPNoError);
    ASSERT_EQ(shown.size(), c.shown.size());
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i].substr(0, c.shown[i].size()), c.shown[i]);
  }
  EXPECT_EQ(host().Objects().Live().Total(), 0u) << host().Objects().DescribeLive();
}

TEST_F(EntryFlow, FailedPreparationAnswersParmAndShowsNothing) {
  const struct {
    const char* name;
    std::function<void(zk::HostBookkeeping&)> fault;
  } cases[] = {
      {"no UIHooks suite", [](zk::HostBookkeeping& book) { book.RefuseSuite(kPSUIHooksSuite); }},
      {"action reference suite refused in version 3",
       [](zk::HostBookkeeping& book) { book.RefuseSuite(kPSActionReferenceSuite, 3); }},
      {"GetPluginName fails", [](zk::HostBookkeeping& book) { book.FailProcedure("PSUIHooks.GetPluginName", -1); }},
      {"PutEnumerated fails",
       [](zk::HostBookkeeping& book) { book.FailProcedure("PSActionReference.PutEnumerated", -1); }},
      // Success with no table counts as a failed acquire: nothing is called through null.
      {"the UIHooks suite acquired as a null table",
       [](zk::HostBookkeeping& book) { book.HandOutNullSuite(kPSUIHooksSuite); }},
      {"the action reference suite acquired as a null table",
       [](zk::HostBookkeeping& book) { book.HandOutNullSuite(kPSActionReferenceSuite); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reload();
    c.fault(host().Book());
    SPErr result = 0;
    EXPECT_TRUE(Shown([&] { return host().DoIt(); }, &result).empty());
    EXPECT_EQ(result, kSPBadParameterError);
    // The reference and the plug-in's name are released on the failure paths too.
    EXPECT_EQ(host().Objects().Live().Total(), 0u) << host().Objects().DescribeLive();
  }
}

// A reference the host could not make is never handed back to it: the preparation ends at once,
// answered as the other preparation failures are.
TEST_F(EntryFlow, AReferenceThatCouldNotBeMadeEndsThePreparation) {
  host().Book().FailProcedure("PSActionReference.Make", -108);
  SPErr result = 0;
  EXPECT_TRUE(Shown([&] { return host().DoIt(); }, &result).empty());
  EXPECT_EQ(result, kSPBadParameterError);
  EXPECT_EQ(host().Book().Calls("PSActionReference.PutEnumerated"), 0);
  EXPECT_EQ(host().Book().Calls("PSUIHooks.GetPluginName"), 0);
  EXPECT_EQ(host().Objects().Live().Total(), 0u) << host().Objects().DescribeLive();
}

// The about box asks the host for the module's handle; when the host cannot say, the handle the
// module recorded at its load still finds the about box, and later the status window.
TEST_F(EntryFlow, TheAboutBoxShowsWhenTheHostCannotGiveTheModulesHandle) {
  host().Book().FailProcedure("SPAccess.GetAccessInfo", -1);
  SPErr result = -1;
  const auto about = Shown([&] { return host().About(); }, &result);
  EXPECT_EQ(host().Book().Calls("SPAccess.GetAccessInfo"), 1);
  EXPECT_EQ(result, kSPNoError);
  ASSERT_EQ(about.size(), 1u);
  EXPECT_EQ(about[0].substr(0, kAboutBox.size()), kAboutBox);

  const auto run = Shown([&] { return host().DoIt(); }, &result);
  EXPECT_EQ(result, kSPNoError);
  ASSERT_EQ(run.size(), 2u) << "the status window came up and looked for the companion";
  EXPECT_EQ(run[0].substr(0, kBrowse.size()), kBrowse);
  EXPECT_EQ(run[1].substr(0, kNotFound.size()), kNotFound);
}

TEST_F(EntryFlow, MissingZStringSuiteIsParmAfterTheRun) {
  host().Book().RefuseSuite(kASZStringSuite);
  SPErr result = 0;
  const auto shown = Shown([&] { return host().DoIt(); }, &result);
  EXPECT_EQ(result, kSPBadParameterError);
  EXPECT_EQ(shown.size(), 2u) << "the run itself went ahead";
}

TEST_F(EntryFlow, SuitesAreAcquiredOnceAcrossTwoRuns) {
  SPErr first = -1, second = -1;
  Shown([&] { return host().DoIt(); }, &first);
  Shown([&] { return host().DoIt(); }, &second);
  EXPECT_EQ(first, kSPNoError);
  EXPECT_EQ(second, kSPNoError);
  EXPECT_EQ(host().Book().Calls("PSUIHooks.GetPluginName"), 2);
  EXPECT_EQ(host().Book().Acquisitions(kPSUIHooksSuite), 1);
  EXPECT_EQ(host().Book().Acquisitions(kPSActionReferenceSuite), 1);
  EXPECT_EQ(host().Book().Acquisitions(kASZStringSuite), 1);
  EXPECT_EQ(host().Objects().Live().Total(), 0u) << host().Objects().DescribeLive();
}

TEST_F(EntryFlow, UnloadReleasesOnlyAcquiredSuitesThroughTheLatestBasicSuite) {
  SPErr result = -1;
  Shown([&] { return host().DoIt(); }, &result);
  host().Unload();
  std::vector<std::string> released;
  for (const zk::SuiteEvent& event : host().Book().SuiteEvents()) {
    if (event.acquire) continue;
    released.push_back(event.name);
    EXPECT_EQ(event.basicTable, host().LatestBasicTable()) << event.name;
  }
  std::sort(released.begin(), released.end());
  std::vector<std::string> acquired = {kPSActionReferenceSuite, kPSUIHooksSuite, kASZStringSuite};
  std::sort(acquired.begin(), acquired.end());
  EXPECT_EQ(released, acquired);
}

TEST_F(EntryFlow, AfterAboutOnlyTheAccessSuiteIsReleased) {
  SPErr result = -1;
  Shown([&] { return host().About(); }, &result);
  host().Unload();
  int releases = 0;
  for (const zk::SuiteEvent& event : host().Book().SuiteEvents()) {
    if (!event.acquire) {
      ++releases;
      EXPECT_EQ(event.name, kSPAccessSuite);
    }
  }
  EXPECT_EQ(releases, 1);
}

TEST_F(EntryFlow, NeverCalledNothingReleased) {
  host().Unload();  // the host's own load and unload messages only
  for (const zk::SuiteEvent& event : host().Book().SuiteEvents()) ADD_FAILURE() << "suite event for " << event.name;
}

TEST_F(EntryFlow, AMessageWithoutBasicSuiteIsRefusedNotDereferenced) {
  EXPECT_EQ(host().Entry()("SP Interface", "About", nullptr), kSPBadParameterError);
  SPMessageData header{};
  EXPECT_EQ(host().Entry()("SP Interface", "About", &header), kSPBadParameterError);
}

}  // namespace
