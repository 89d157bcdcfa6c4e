// Module-wide holders of the host's suites: each acquires its suite on first use, keeps it for
// the module's life and releases it at unload through the latest basic suite.
#pragma once

#include <cstdint>

class SuiteHolder {
 public:
  SuiteHolder(const char* name, int32_t version);
  ~SuiteHolder();
  SuiteHolder(const SuiteHolder&) = delete;
  SuiteHolder& operator=(const SuiteHolder&) = delete;

  // The suite's function table. Acquires it when not held yet; raises the failing host status as
  // a bare uint32_t when it cannot be had. Never returns null.
  const void* Access();
  // The same for a suite the module can do without: null when the host does not offer it. A
  // refusal is remembered until ForgetRefusal: a request may find the suite once per document,
  // and a host that refused it once would be asked, and refuse, a thousand times.
  const void* Find();
  // The next Find asks the host again (a bridge run begins so: the host may offer it by now).
  void ForgetRefusal() { refused = false; }
  // Lets go of the suite now, if held, and forgets a refusal; the next use acquires it anew. The
  // host's status of the release, 0 when nothing was held (or the process is ending and the host
  // may be gone).
  int32_t Release();
  // The host's status of the latest attempt to acquire the suite.
  int32_t LastStatus() const { return status; }
  const char* Name() const { return name; }
  int32_t Version() const { return version; }

 private:
  // Asks the host for the suite: its status, and the table held when it was had.
  int32_t Acquire();

  const void* suite = nullptr;
  int32_t version;
  const char* name;
  int32_t status = 0;
  bool refused = false;  // Find was refused, and has not asked again since
};

template <class Procs>
class SuiteHolderOf : public SuiteHolder {
 public:
  using SuiteHolder::SuiteHolder;
  const Procs* operator->() { return static_cast<const Procs*>(Access()); }
  const Procs& operator*() { return *operator->(); }
  const Procs* Find() { return static_cast<const Procs*>(SuiteHolder::Find()); }
};

// Set while the process itself is ending: the host may be gone, so nothing is released to it.
void MarkProcessEnding();
