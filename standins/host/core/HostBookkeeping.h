// What tests ask of the stand-in host: how often each suite was acquired and released (and
// through which basic-suite table), how often each procedure was called and each event played, and
// which suites, procedures or events should fail on purpose.
#pragma once

#include <cstdint>
#include <atomic>
#include <map>
#include <mutex>
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
  // A played event (ActionControl.Play of 'Impr', say) answers status and a message instead of
  // being carried out: on every play of it (onlyPlay 0), or on its Nth play only.
  void FailEvent(uint32_t event, int32_t status, int onlyPlay = 0);
  // "PSActionControl.Get" takes ms longer before it does its work, as a host busy with a long
  // operation: on every call (onlyCall 0), or on the Nth only. Cleared with the faults.
  void DelayProcedure(const std::string& procedure, uint32_t ms, int onlyCall = 0);
  // AcquireSuite of that suite answers success but hands back a null table, as a faulty host may.
  void HandOutNullSuite(const std::string& name);
  bool HandsOutNullSuite(const std::string& name) const;
  // Plays of that event are carried out, then answer success without any result descriptor.
  void PlayWithoutResult(uint32_t event);
  bool PlaysWithoutResult(uint32_t event) const;
  void ClearFaults();
  bool IsRefused(const std::string& name, int32_t version) const;

  // Counts the call; answers the injected status, or 0 when the procedure should do its work.
  int32_t EnterProcedure(const char* procedure);
  int Calls(const std::string& procedure) const;
  // Counts the play; answers the injected status, or 0 when the event should be carried out.
  int32_t EnterEvent(uint32_t event);
  int Plays(uint32_t event) const;
  const std::map<std::string, int>& AllCalls() const { return calls_; }

  void RecordSuiteEvent(SuiteEvent event);
  const std::vector<SuiteEvent>& SuiteEvents() const { return suiteEvents_; }
  int Acquisitions(const std::string& name) const;  // granted ones
  int Releases(const std::string& name) const;      // every release call
  int Outstanding(const std::string& name) const;   // granted acquisitions not yet released

  void ResetCounts();  // forgets counts, plays and suite events, keeps the faults

  // Time spent inside the host, in QueryPerformanceCounter ticks: in suite procedures (the
  // outermost call only, so a Play counts once with all it does) and in each played event's
  // handler (the raw converter, the export and import plug-ins). Readable from any thread while
  // the host runs, so that a benchmark can take them between two requests.
  void AddProcedureCall(int64_t entered, int64_t left);  // an outermost call, from its start to its end
  int64_t ProcedureTicks() const { return procedureTicks_.load(std::memory_order_relaxed); }
  // The outermost procedure calls since StartCallSpan: when the first began, when the last ended,
  // and the gaps between them (from one call's end to the next one's start) summed as they happen.
  // The gaps are what the plug-in did itself between its host calls, each a short interval of its
  // own, never a long span less the long calls inside it. All 0 while no call has ended.
  struct CallSpan {
    int64_t calls = 0;
    int64_t firstEntered = 0, lastLeft = 0;
    int64_t betweenTicks = 0;
  };
  void StartCallSpan();
  CallSpan CallsSinceStart() const;
  void AddEventTicks(uint32_t event, int64_t ticks);
  int64_t EventTicks(uint32_t event) const;

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
  struct Delay {
    std::string procedure;
    uint32_t ms;
    int onlyCall;
  };
  std::vector<Delay> delays_;
  struct EventFailure {
    uint32_t event;
    int32_t status;
    int onlyPlay;
  };
  std::vector<Failure> failures_;
  std::vector<EventFailure> eventFailures_;
  std::vector<std::string> nullSuites_;
  std::vector<uint32_t> resultlessEvents_;
  std::map<std::string, int> calls_;
  std::map<uint32_t, int> plays_;
  std::vector<SuiteEvent> suiteEvents_;
  std::atomic<int64_t> procedureTicks_{0};
  mutable std::mutex spanLock_;
  CallSpan span_;
  mutable std::mutex eventTicksLock_;
  std::map<uint32_t, int64_t> eventTicks_;
};

}  // namespace zk
