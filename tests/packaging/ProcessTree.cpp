#include "ProcessTree.h"

#include <memory>
#include <mutex>
#include <utility>

#include "WindowsOwners.h"

namespace {

// How long the output may still be read once the tree has ended: what its processes wrote is in the
// pipe by then. Only a process outside the tree that holds the pipe's write end (one the tree
// started outside the job, or one that inherited the end) keeps the read from ending; the run then
// goes on without the rest of the output.
constexpr DWORD kOutputAfterTheTreeMs = 30000;

// The reader's state, shared by the run and the reader's thread: a reader still held up by such a
// process is left behind with it, and nothing of the run's frame is touched after the run returns.
struct OutputReading {
  UniqueHandle readEnd;
  std::mutex mutex;
  std::string text;
};

// Reads the pipe on a thread of its own: a child that writes more than the pipe holds must not
// block while the job's end is waited for. The thread owns one reference to the shared state.
DWORD WINAPI ReadAll(void* context) {
  const std::unique_ptr<std::shared_ptr<OutputReading>> owned(static_cast<std::shared_ptr<OutputReading>*>(context));
  OutputReading& reading = **owned;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(reading.readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    const std::lock_guard<std::mutex> lock(reading.mutex);
    reading.text.append(buffer, read);
  }
  return 0;
}

UniqueHandle StartReader(const std::shared_ptr<OutputReading>& reading) {
  auto* reference = new std::shared_ptr<OutputReading>(reading);
  UniqueHandle thread(CreateThread(nullptr, 0, ReadAll, reference, 0, nullptr));
  if (!thread) delete reference;
  return thread;
}

}  // namespace

ProcessTreeRun RunProcessTree(const std::wstring& commandLine, DWORD ceilingMs, const std::wstring& workingFolder) {
  ProcessTreeRun run;
  // Under Wine the first process that needs the desktop starts the desktop process, which then
  // inherits that process's inheritable handles and would keep the output pipe open for ever.
  GetDesktopWindow();

  const UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  const UniqueHandle port(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
  if (!job || !port) return run;
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT association = {};
  association.CompletionKey = job.Get();
  association.CompletionPort = port.Get();
  if (!SetInformationJobObject(job.Get(), JobObjectAssociateCompletionPortInformation, &association,
                               sizeof association)) {
    return run;
  }

  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  const auto reading = std::make_shared<OutputReading>();
  UniqueHandle writeEnd;
  if (!CreatePipe(reading->readEnd.Address(), writeEnd.Address(), &inherit, 0)) return run;
  SetHandleInformation(reading->readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring writable = commandLine;
  PROCESS_INFORMATION process = {};
  // Suspended until it is in the job, so that nothing it starts can escape the count.
  if (!CreateProcessW(nullptr, &writable[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process)) {
    run.startError = GetLastError();
    return run;
  }
  const UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
  if (!AssignProcessToJobObject(job.Get(), processHandle.Get())) {
    run.startError = GetLastError();
    TerminateProcess(processHandle.Get(), 1);
    return run;
  }
  run.started = true;
  writeEnd.Reset();  // the tree holds the only write ends now
  const UniqueHandle reader = StartReader(reading);
  ResumeThread(threadHandle.Get());

  // The job reports on its port when its last process has ended; the ceiling only stops a hang.
  const ULONGLONG deadline = GetTickCount64() + ceilingMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? DWORD(deadline - now) : 0;
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED overlapped = nullptr;
    if (!GetQueuedCompletionStatus(port.Get(), &message, &key, &overlapped, left)) break;
    if (key == reinterpret_cast<ULONG_PTR>(job.Get()) && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
      run.ended = true;
      break;
    }
  }
  if (!run.ended) TerminateJobObject(job.Get(), 1);
  // Every writer of the tree has ended by now, so the read ends too, unless one outside holds on.
  if (reader && WaitForSingleObject(reader.Get(), kOutputAfterTheTreeMs) != WAIT_OBJECT_0) {
    run.outputComplete = false;
    CancelSynchronousIo(reader.Get());
  }
  {
    const std::lock_guard<std::mutex> lock(reading->mutex);
    run.output = reading->text;
  }
  if (!run.outputComplete) {
    run.output += "\n[the output pipe was still held open " + std::to_string(kOutputAfterTheTreeMs / 1000) +
                  " s after the tree had ended: a process outside the tree holds it; the rest is missing]\n";
  }
  GetExitCodeProcess(processHandle.Get(), &run.exitCode);
  return run;
}
