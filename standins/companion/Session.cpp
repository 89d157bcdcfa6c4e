#include "Session.h"

#include "ExitCodes.h"
#include "PipeClient.h"
#include "RandomRequests.h"
#include "QuotedText.h"
#include "ReplyReader.h"
#include "WireFormat.h"

#include <algorithm>

namespace zk {

namespace {

std::wstring FieldsForWindow(const std::vector<std::wstring>& fields) {
  std::wstring out;
  for (const std::wstring& field : fields) {
    if (!out.empty()) out += L' ';
    out += L'"' + field.substr(0, 60) + (field.size() > 60 ? L"...\"" : L"\"");
  }
  return out.empty() ? L"(no fields)" : out;
}

}  // namespace

Session::Session(const Scenario& scenario, std::wstring pipeName, Transcript& transcript,
                 std::function<void(const std::wstring&)> status)
    : scenario_(scenario),
      pipeName_(std::move(pipeName)),
      transcript_(transcript),
      status_(std::move(status)),
      images_(transcript, status_) {}

int Session::Run() {
  if (scenario_.neverConnect) {
    if (scenario_.neverConnectUntilKilled) {
      transcript_.Line("never-connect", "until the process is ended");
      status_(L"Not connecting to the pipe (until ended)");
      StayForever();
    }
    transcript_.Line("never-connect", std::to_string(scenario_.neverConnectMs));
    status_(L"Not connecting to the pipe");
    Sleep(scenario_.neverConnectMs);
    return kExitDone;
  }
  // Like the real program, connect first, unless the scenario says when.
  const bool connectsItself = std::any_of(scenario_.actions.begin(), scenario_.actions.end(),
                                          [](const Action& action) { return action.kind == ActionKind::Connect; });
  if (!connectsItself) {
    if (const Outcome end = Connect()) return *end;
  }
  for (const Action& action : scenario_.actions) {
    if (const Outcome end = RunAction(action)) return *end;
  }
  if (pipe_) {
    pipe_.Reset();
    transcript_.Line("close", "end of the scenario");
  }
  if (images_.Failures() != 0) {
    status_(L"Done, but a statement failed");
    return kExitStatementFailed;
  }
  status_(L"Done");
  return kExitDone;
}

Session::Outcome Session::Connect() {
  transcript_.Line("connecting", QuoteText(pipeName_) + " timeout " + std::to_string(scenario_.connectTimeoutMs));
  status_(L"Connecting to " + pipeName_);
  ConnectResult result = ConnectToPipe(pipeName_, scenario_.connectTimeoutMs, [this](DWORD error) {
    transcript_.Line("connect-retrying", "first attempt failed: " + DescribeError(error));
  });
  const std::string tries = std::to_string(result.elapsedMs) + " ms, " + std::to_string(result.attempts) + " attempts";
  if (!result.pipe) {
    transcript_.Line("connect-failed", "gave up after " + tries + ", last " + DescribeError(result.lastError));
    status_(L"Could not connect to " + pipeName_);
    return kExitNoConnection;
  }
  pipe_ = std::move(result.pipe);
  transcript_.Line("connected", "after " + tries);
  status_(L"Connected to " + pipeName_);
  return std::nullopt;
}

Session::Outcome Session::RunAction(const Action& action) {
  if (IsImageStatement(action.kind)) {
    images_.Run(action);
    return std::nullopt;
  }
  switch (action.kind) {
    case ActionKind::Connect:
      return Connect();
    case ActionKind::Request:
      return Exchange(action.fields, nullptr);
    case ActionKind::Send:
      transcript_.Line("send", QuotedFields(action.fields));
      status_(L"Sending " + FieldsForWindow(action.fields));
      return Write(EncodeMessage(action.fields));
    case ActionKind::ReadRaw:
    case ActionKind::SendImage: {
      const auto fields = images_.Request(action);
      if (!fields) return std::nullopt;
      Reply reply;
      if (const Outcome end = Exchange(*fields, &reply)) return end;
      images_.TakeReply(action, reply);
      return std::nullopt;
    }
    case ActionKind::ReadReply:
      transcript_.Line("read-reply", "");
      status_(L"Waiting for a reply");
      return ReadAndRecordReply();
    case ActionKind::WaitReply:
      transcript_.Line("wait-reply", "");
      status_(L"Waiting for a reply to arrive");
      return WaitForWholeReply();
    case ActionKind::Bytes:
      transcript_.Line("bytes", HexBytes(action.bytes));
      status_(L"Sending bytes");
      return Write(action.bytes);
    case ActionKind::Count:
      transcript_.Line("count", std::to_string(action.number));
      status_(L"Sending a count");
      return Write(EncodeCount(action.number));
    case ActionKind::Text:
      transcript_.Line("text", QuoteText(action.fields[0]));
      status_(L"Sending a text");
      return Write(EncodeText(action.fields[0]));
    case ActionKind::Field:
      transcript_.Line("field", QuoteText(action.fields[0]));
      status_(L"Sending a field");
      return Write(EncodeField(action.fields[0]));
    case ActionKind::Pause:
      transcript_.Line("pause", std::to_string(action.number));
      status_(L"Pausing");
      Sleep(action.number);
      return std::nullopt;
    case ActionKind::Stay:
      transcript_.Line("stay", std::to_string(action.number));
      status_(L"Staying a while");
      Sleep(action.number);
      return std::nullopt;
    case ActionKind::StayUntilKilled:
      transcript_.Line("stay-until-killed", "");
      status_(L"Staying until ended");
      StayForever();
      return std::nullopt;
    case ActionKind::Close:
      pipe_.Reset();
      transcript_.Line("close", "by the scenario");
      status_(L"Pipe closed");
      return std::nullopt;
    case ActionKind::Exit:
      transcript_.Line("exit-requested", std::to_string(action.number));
      return static_cast<int>(action.number);
    case ActionKind::Hang:
      transcript_.Line("hang", "");
      status_(L"Hanging");
      StayForever();
      return std::nullopt;
    case ActionKind::KillSelf:
      transcript_.Line("kill-self", "");
      TerminateProcess(GetCurrentProcess(), kExitKilledSelf);
      return kExitKilledSelf;
    case ActionKind::Random:
      return RunRandom(action);
    default:
      break;  // the image statements, run by images_ above
  }
  return std::nullopt;
}

Session::Outcome Session::Exchange(const std::vector<std::wstring>& fields, Reply* reply) {
  transcript_.Line("request", QuotedFields(fields));
  status_(L"Sending " + FieldsForWindow(fields));
  if (const Outcome end = Write(EncodeMessage(fields))) return end;
  status_(L"Waiting for the reply to " + FieldsForWindow(fields));
  return ReadAndRecordReply(reply);
}

Session::Outcome Session::Write(const std::vector<std::uint8_t>& bytes) {
  const DWORD error = WriteAll(pipe_.Get(), bytes);
  if (error != 0) return PipeFailure("writing to the pipe", error);
  transcript_.Line("wrote", HexBytes(bytes));
  return std::nullopt;
}

Session::Outcome Session::ReadAndRecordReply(Reply* kept) {
  Reply reply = ReadReply(pipe_.Get());
  transcript_.Line(reply.complete ? "reply" : "reply-incomplete", QuotedFields(reply.fields));
  transcript_.Line("reply-bytes", HexBytes(reply.bytes));
  if (reply.complete) {
    status_(L"Reply: " + FieldsForWindow(reply.fields));
    if (kept != nullptr) *kept = std::move(reply);
    return std::nullopt;
  }
  if (!reply.problem.empty()) {
    transcript_.Line("error", "reply refused: " + reply.problem);
    status_(L"Reply refused");
    return kExitPipeFailed;
  }
  return PipeFailure("reading the reply", reply.error);
}

// Looks at what has arrived without taking it until a whole reply is there: the plug-in has then
// written its answer in full, and it stays in the pipe. A pipe has no event for data that came in,
// so this looks every few milliseconds.
Session::Outcome Session::WaitForWholeReply() {
  std::vector<std::uint8_t> arrived;
  while (true) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe_.Get(), nullptr, 0, nullptr, &available, nullptr)) {
      return PipeFailure("waiting for the reply", GetLastError());
    }
    arrived.resize(available);
    DWORD peeked = 0;
    if (available != 0 && !PeekNamedPipe(pipe_.Get(), arrived.data(), available, &peeked, nullptr, nullptr)) {
      return PipeFailure("waiting for the reply", GetLastError());
    }
    arrived.resize(peeked);
    if (HoldsWholeMessage(arrived)) {
      transcript_.Line("reply-waiting", std::to_string(arrived.size()) + " bytes");
      status_(L"A reply is waiting");
      return std::nullopt;
    }
    Sleep(5);
  }
}

Session::Outcome Session::PipeFailure(const std::string& what, DWORD error) {
  // Broken pipe on a read, "no data" (being closed) on a write: the plug-in has closed its end.
  if (error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED) {
    transcript_.Line("peer-closed", what + ": " + DescribeError(error));
    status_(L"The plug-in closed the pipe");
    return kExitPeerClosed;
  }
  transcript_.Line("error", what + " failed: " + DescribeError(error));
  status_(L"Pipe error");
  return kExitPipeFailed;
}

Session::Outcome Session::RunRandom(const Action& action) {
  transcript_.Line("random", std::to_string(action.seed) + " " + std::to_string(action.number) + " from " +
                                 std::to_string(action.first));
  status_(L"Sending random requests");
  RandomCounts counts;
  const bool ok = RunRandomRequests(pipe_.Get(), action.seed, action.number, action.first, transcript_, &counts);
  transcript_.Line("random-counts", "sent " + std::to_string(counts.sent) + ", requests " +
                                        std::to_string(counts.requests) + ", replies " + std::to_string(counts.replies) +
                                        ", well-formed " + std::to_string(counts.wellFormed) + ", bad " +
                                        std::to_string(counts.bad) + ", framing-breaks " +
                                        std::to_string(counts.framingBreaks) + ", early-ends " +
                                        std::to_string(counts.earlyEnds) + ", longest-field " +
                                        std::to_string(counts.largestField) + ", next " + std::to_string(counts.next));
  pipe_.Reset();
  transcript_.Line("close", counts.framingBreaks != 0 ? "after breaking the framing" : "end of the scenario");
  status_(ok ? L"Done" : L"Random requests failed");
  return ok ? kExitDone : kExitPipeFailed;
}

void Session::StayForever() {
  while (true) Sleep(INFINITE);
}

}  // namespace zk
