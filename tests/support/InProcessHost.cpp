#include "InProcessHost.h"

#include <gtest/gtest.h>

#include <memory>

#include "HostSession.h"
#include "HostSuites.h"
#include "ImageEvents.h"
#include "StandInBasicSuite.h"

namespace {

std::unique_ptr<zk::StandInHost> host;
std::unique_ptr<zk::DocumentModel> documents;
std::unique_ptr<zk::ImageEvents> events;

class InProcessHostEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    host = std::make_unique<zk::StandInHost>();
    documents = std::make_unique<zk::DocumentModel>();
    documents->AttachTo(*host);
    events = std::make_unique<zk::ImageEvents>(*host, *documents);
    sSPBasic = const_cast<SPBasicSuite*>(zk::StandInBasicSuite(0));
  }
  // The module's holders release nothing at exit: the host is gone by then.
  void TearDown() override {
    sSPBasic = nullptr;
    events.reset();
    documents.reset();
    host.reset();
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new InProcessHostEnvironment);

}  // namespace

zk::StandInHost& TestHost() { return *host; }
zk::DocumentModel& TestDocuments() { return *documents; }
zk::ImageEvents& TestImageEvents() { return *events; }

void ResetTestHost() {
  sPSAlias.Release();
  host->Answers() = zk::HostAnswers();
  events.reset();
  documents = std::make_unique<zk::DocumentModel>();
  documents->AttachTo(*host);
  events = std::make_unique<zk::ImageEvents>(*host, *documents);
  host->Book().ClearFaults();
  host->Book().ResetCounts();
}

void WithoutAliasSuite() {
  sPSAlias.Release();
  host->Book().RefuseSuite(kPSAliasSuite);
}

std::vector<AutomationUtils::DocumentInfo> ListDocuments(OSErr* status) {
  std::vector<AutomationUtils::DocumentInfo> list;
  const OSErr result = AutomationUtils::GetOpenDocuments(list);
  if (status != nullptr) *status = result;
  return list;
}
