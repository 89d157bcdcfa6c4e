// What tests ask of the stand-in host: how often each suite was acquired and released (and
// through which basic-suite table), how often each procedure was called, and which suites or
// procedures should fail on purpose.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zk {

constexpr int32_t kAnyVersion = -1;

struct SuiteEvent {
  bool acquire = true;  // false: a release
  std::string name;
  int32_t version = 0;
  int basicTable = 0;   // index of the basic-suite table the call came through
  int32_t status = 0;
};

class HostBookkeeping {
 public:
  // Fault injection. A refused suite answers kSPSuiteNotFoundError (for one version, or any).
  void RefuseSuite(const std::string& name, int32_t version = kAnyVersion);
  // "PSActionReference.PutEnumerated" answers status: on every call (onlyCall 0), or on the Nth only.
  void FailProcedure(const std::string& procedure, int32_t status, int onlyCall = 0);
  void ClearFaults();
  bool IsRefused(const std::string& name, int32_t version) const;

  // Counts the call; answers the injected status, or 0 when the procedure should do its work.
  int32_t EnterProcedure(const char* procedure);
  int Calls(const std::string& procedure) const;
  const std::map<std::string, int>& AllCalls() const { return calls_; }

  void RecordSuiteEvent(SuiteEvent event);
  const std::vector<SuiteEvent>& SuiteEvents() const { return suiteEvents_; }
  int Acquisitions(const std::string& name) const;  // granted ones
  int Releases(const std::string& name) const;      // every release call
  int Outstanding(const std::string& name) const;   // granted acquisitions not yet released

  void ResetCounts();  // forgets counts and suite events, keeps the faults

 private:
  struct Refusal {
    std::string name;
    int32_t version;
  };
  struct Failure {
    std::string procedure;
    int32_t status;
    int onlyCall;
  };
  std::vector<Refusal> refusals_;
  std::vector<Failure> failures_;
  std::map<std::string, int> calls_;
  std::vector<SuiteEvent> suiteEvents_;
};

}  // namespace zk
