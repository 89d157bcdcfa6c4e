#include "ProcessTree.h"

#include "WindowsOwners.h"

namespace {

// Reads the pipe on a thread of its own: a child that writes more than the pipe holds must not
// block while the job's end is waited for.
DWORD WINAPI ReadAll(void* context) {
  auto* reading = static_cast<std::pair<HANDLE, std::string*>*>(context);
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(reading->first, buffer, sizeof buffer, &read, nullptr) && read > 0) reading->second->append(buffer, read);
  return 0;
}

}  // namespace

ProcessTreeRun RunProcessTree(const std::wstring& commandLine, DWORD ceilingMs) {
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
  UniqueHandle readEnd, writeEnd;
  if (!CreatePipe(readEnd.Address(), writeEnd.Address(), &inherit, 0)) return run;
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring writable = commandLine;
  PROCESS_INFORMATION process = {};
  // Suspended until it is in the job, so that nothing it starts can escape the count.
  if (!CreateProcessW(nullptr, &writable[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &process)) {
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
  std::pair<HANDLE, std::string*> reading(readEnd.Get(), &run.output);
  const UniqueHandle reader(CreateThread(nullptr, 0, ReadAll, &reading, 0, nullptr));
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
  // Every writer has ended by now, so the read ends too.
  if (reader) WaitForSingleObject(reader.Get(), INFINITE);
  GetExitCodeProcess(processHandle.Get(), &run.exitCode);
  return run;
}
