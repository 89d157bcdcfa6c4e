#include "HostBookkeeping.h"

namespace zk {

void HostBookkeeping::RefuseSuite(const std::string& name, int32_t version) { refusals_.push_back({name, version}); }

void HostBookkeeping::FailProcedure(const std::string& procedure, int32_t status, int onlyCall) {
  failures_.push_back({procedure, status, onlyCall});
}

void HostBookkeeping::ClearFaults() {
  refusals_.clear();
  failures_.clear();
}

bool HostBookkeeping::IsRefused(const std::string& name, int32_t version) const {
  for (const Refusal& r : refusals_) {
    if (r.name == name && (r.version == kAnyVersion || r.version == version)) return true;
  }
  return false;
}

int32_t HostBookkeeping::EnterProcedure(const char* procedure) {
  int call = ++calls_[procedure];
  for (const Failure& f : failures_) {
    if (f.procedure == procedure && (f.onlyCall == 0 || f.onlyCall == call)) return f.status;
  }
  return 0;
}

int HostBookkeeping::Calls(const std::string& procedure) const {
  auto it = calls_.find(procedure);
  return it == calls_.end() ? 0 : it->second;
}

void HostBookkeeping::RecordSuiteEvent(SuiteEvent event) { suiteEvents_.push_back(std::move(event)); }

int HostBookkeeping::Acquisitions(const std::string& name) const {
  int n = 0;
  for (const SuiteEvent& e : suiteEvents_) n += (e.acquire && e.status == 0 && e.name == name) ? 1 : 0;
  return n;
}

int HostBookkeeping::Releases(const std::string& name) const {
  int n = 0;
  for (const SuiteEvent& e : suiteEvents_) n += (!e.acquire && e.name == name) ? 1 : 0;
  return n;
}

int HostBookkeeping::Outstanding(const std::string& name) const {
  int n = 0;
  for (const SuiteEvent& e : suiteEvents_) {
    if (e.name != name || e.status != 0) continue;
    n += e.acquire ? 1 : -1;
  }
  return n;
}

void HostBookkeeping::ResetCounts() {
  calls_.clear();
  suiteEvents_.clear();
}

}  // namespace zk
