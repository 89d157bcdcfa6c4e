#include "HostBookkeeping.h"

#include <chrono>
#include <thread>

namespace zk {

void HostBookkeeping::RefuseSuite(const std::string& name, int32_t version) { refusals_.push_back({name, version}); }

void HostBookkeeping::FailProcedure(const std::string& procedure, int32_t status, int onlyCall) {
  failures_.push_back({procedure, status, onlyCall});
}

void HostBookkeeping::FailEvent(uint32_t event, int32_t status, int onlyPlay) {
  eventFailures_.push_back({event, status, onlyPlay});
}

void HostBookkeeping::DelayProcedure(const std::string& procedure, uint32_t ms, int onlyCall) {
  delays_.push_back({procedure, ms, onlyCall});
}

void HostBookkeeping::HandOutNullSuite(const std::string& name) { nullSuites_.push_back(name); }

bool HostBookkeeping::HandsOutNullSuite(const std::string& name) const {
  for (const std::string& suite : nullSuites_) {
    if (suite == name) return true;
  }
  return false;
}

void HostBookkeeping::PlayWithoutResult(uint32_t event) { resultlessEvents_.push_back(event); }

bool HostBookkeeping::PlaysWithoutResult(uint32_t event) const {
  for (const uint32_t resultless : resultlessEvents_) {
    if (resultless == event) return true;
  }
  return false;
}

void HostBookkeeping::ClearFaults() {
  nullSuites_.clear();
  resultlessEvents_.clear();
  delays_.clear();
  refusals_.clear();
  failures_.clear();
  eventFailures_.clear();
}

bool HostBookkeeping::IsRefused(const std::string& name, int32_t version) const {
  for (const Refusal& r : refusals_) {
    if (r.name == name && (r.version == kAnyVersion || r.version == version)) return true;
  }
  return false;
}

int32_t HostBookkeeping::EnterProcedure(const char* procedure) {
  int call = ++calls_[procedure];
  for (const Delay& d : delays_) {
    if (d.procedure == procedure && (d.onlyCall == 0 || d.onlyCall == call)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(d.ms));
    }
  }
  for (const Failure& f : failures_) {
    if (f.procedure == procedure && (f.onlyCall == 0 || f.onlyCall == call)) return f.status;
  }
  return 0;
}

int HostBookkeeping::Calls(const std::string& procedure) const {
  auto it = calls_.find(procedure);
  return it == calls_.end() ? 0 : it->second;
}

int32_t HostBookkeeping::EnterEvent(uint32_t event) {
  int play = ++plays_[event];
  for (const EventFailure& f : eventFailures_) {
    if (f.event == event && (f.onlyPlay == 0 || f.onlyPlay == play)) return f.status;
  }
  return 0;
}

int HostBookkeeping::Plays(uint32_t event) const {
  auto it = plays_.find(event);
  return it == plays_.end() ? 0 : it->second;
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
  plays_.clear();
  suiteEvents_.clear();
}

void HostBookkeeping::AddProcedureCall(int64_t entered, int64_t left) {
  procedureTicks_.fetch_add(left - entered, std::memory_order_relaxed);
  const std::lock_guard<std::mutex> lock(spanLock_);
  if (span_.calls++ == 0) {
    span_.firstEntered = entered;
  } else {
    span_.betweenTicks += entered - span_.lastLeft;
  }
  span_.lastLeft = left;
}

void HostBookkeeping::StartCallSpan() {
  const std::lock_guard<std::mutex> lock(spanLock_);
  span_ = CallSpan();
}

HostBookkeeping::CallSpan HostBookkeeping::CallsSinceStart() const {
  const std::lock_guard<std::mutex> lock(spanLock_);
  return span_;
}

void HostBookkeeping::AddEventTicks(uint32_t event, int64_t ticks) {
  const std::lock_guard<std::mutex> lock(eventTicksLock_);
  eventTicks_[event] += ticks;
}

int64_t HostBookkeeping::EventTicks(uint32_t event) const {
  const std::lock_guard<std::mutex> lock(eventTicksLock_);
  const auto found = eventTicks_.find(event);
  return found == eventTicks_.end() ? 0 : found->second;
}

}  // namespace zk
