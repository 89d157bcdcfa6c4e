#include "RandomRequests.h"

#include "PipeClient.h"
#include "QuotedText.h"
#include "ReplyReader.h"
#include "WireFormat.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace zk {

namespace {

// splitmix64: one small generator per request, seeded from the run's seed and the request's number.
class Generator {
 public:
  Generator(std::uint64_t seed, std::uint64_t number) : state_(seed * 0x9E3779B97F4A7C15ull ^ (number + 1) * 0xD1B54A32D192ED03ull) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }
  bool Chance(unsigned percent) { return Below(100) < percent; }

 private:
  std::uint64_t state_;
};

const wchar_t* const kCommands[] = {L"Running", L"GetOpenDocuments", L"CheckAllDocumentsSaved", L"ReadRaw",
                                    L"SendImage", L"readraw", L"Bogus"};

const wchar_t* const kNumbers[] = {
    L"0", L"1", L"3", L"8", L"16", L"16", L"8", L"-1", L"-16", L"+8", L" 16", L"16px", L"abc", L"0x10", L"4096",
    L"-4096", L"2147483647", L"2147483648", L"-2147483648", L"-2147483649", L"18446744073709551615",
    L"18446744073709551616", L"99999999999999999999999999999", L"\u0661\u0666", L"-", L"+"};

// Units of a field's length: mostly short, now and then long, rarely up to 70,000.
std::uint64_t FieldLength(Generator& random) {
  const std::uint64_t roll = random.Below(100);
  if (roll < 85) return 1 + random.Below(32);
  if (roll < 97) return 33 + random.Below(2000);
  return random.Below(70001);
}

std::wstring RandomText(Generator& random, std::uint64_t length) {
  std::wstring text(length, L'a');
  for (wchar_t& unit : text) {
    const std::uint64_t roll = random.Below(10);
    if (roll < 6) unit = wchar_t(L' ' + random.Below(95));                   // printable ASCII
    else if (roll < 8) unit = wchar_t(0xA0 + random.Below(0xD800 - 0xA0));   // other planes' units
    else if (roll < 9) unit = wchar_t(0xD800 + random.Below(0x800));         // surrogates, paired or lone
    else unit = wchar_t(random.Below(0x20));                                 // controls, NUL included
  }
  return text;
}

std::wstring Number(Generator& random) {
  if (random.Chance(20)) return std::to_wstring(std::int64_t(random.Next()) >> random.Below(64));
  return kNumbers[random.Below(sizeof kNumbers / sizeof *kNumbers)];
}

std::wstring SegmentName(Generator& random, const RandomSegments& segments) {
  switch (random.Below(4)) {
    case 0:
    case 1:
      return segments.image;
    case 2:
      return segments.small;
    default:
      return segments.missing;
  }
}

// The fields a command's request is made of, some of them replaced or missing.
std::vector<std::wstring> CommandFields(Generator& random, const RandomSegments& segments) {
  std::vector<std::wstring> fields;
  const std::uint64_t roll = random.Below(100);
  if (roll < 5) return fields;  // the end marker alone
  if (roll < 75) {
    const std::wstring command = kCommands[random.Below(sizeof kCommands / sizeof *kCommands)];
    fields.push_back(command);
    if (command == L"ReadRaw") {
      fields.push_back(random.Chance(50) ? L"C:\\missing\\photo.nef" : RandomText(random, FieldLength(random)));
      fields.push_back(SegmentName(random, segments));
      fields.push_back(Number(random));
      fields.push_back(Number(random));
    } else if (command == L"SendImage") {
      fields.push_back(RandomText(random, 1 + random.Below(40)));
      fields.push_back(SegmentName(random, segments));
      fields.push_back(Number(random));
      fields.push_back(Number(random));
      fields.push_back(Number(random));
      fields.push_back(SegmentName(random, segments));
      fields.push_back(Number(random));
    }
    // Fewer fields than the command needs, or more.
    if (random.Chance(15)) fields.resize(1 + random.Below(fields.size()));
    if (random.Chance(10)) {
      for (std::uint64_t extra = 1 + random.Below(4); extra > 0; --extra) fields.push_back(Number(random));
    }
    return fields;
  }
  for (std::uint64_t count = 1 + random.Below(12); count > 0; --count) fields.push_back(RandomText(random, FieldLength(random)));
  return fields;
}

void AppendCount(std::vector<std::uint8_t>& bytes, std::uint32_t count) {
  const std::vector<std::uint8_t> encoded = EncodeCount(count);
  bytes.insert(bytes.end(), encoded.begin(), encoded.end());
}

// The first few fields, each cut short, for a failure's line.
std::vector<std::wstring> Shortened(const std::vector<std::wstring>& fields) {
  std::vector<std::wstring> out;
  for (size_t i = 0; i < fields.size() && i < 4; ++i) out.push_back(fields[i].substr(0, 40));
  return out;
}

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.compare(0, start.size(), start) == 0; }

}  // namespace

RandomRequest MakeRandomRequest(std::uint64_t seed, std::uint64_t number, const RandomSegments& segments) {
  Generator random(seed, number);
  RandomRequest request;
  std::vector<std::wstring> fields = CommandFields(random, segments);
  // Rarely, the framing breaks: the message stops inside a count or a field, and the pipe closes.
  const bool breaks = random.Below(1000) < 1;
  const size_t breakAt = breaks ? random.Below(fields.size() + 1) : fields.size() + 1;
  RandomMessage message;
  for (size_t i = 0; i < fields.size(); ++i) {
    const std::wstring& field = fields[i];
    request.longestField = std::max<std::uint64_t>(request.longestField, field.size());
    std::vector<std::uint8_t> units = EncodeText(field);
    if (random.Below(100) < 2) units.push_back(std::uint8_t(random.Below(256)));  // an odd count: a stray byte
    AppendCount(request.bytes, std::uint32_t(units.size()));
    if (i == breakAt) {
      // A count of 0 has no text to stop inside: it can only be cut.
      if (units.empty() || random.Chance(50)) {
        request.bytes.resize(request.bytes.size() - 1 - random.Below(3));  // inside the count
      } else {
        request.bytes.insert(request.bytes.end(), units.begin(), units.begin() + std::ptrdiff_t(random.Below(units.size())));
      }
      request.breaksFraming = true;
      return request;
    }
    request.bytes.insert(request.bytes.end(), units.begin(), units.end());
    if (units.empty()) {
      // A field of length 0 is the end marker: the message ends here and the next field begins another.
      message.end = request.bytes.size();
      request.messages.push_back(std::move(message));
      message = RandomMessage();
    } else {
      message.fields.push_back(field);
    }
  }
  if (breaks) {  // inside the end marker
    request.bytes.push_back(0);
    request.breaksFraming = true;
    return request;
  }
  AppendCount(request.bytes, 0);
  message.end = request.bytes.size();
  request.messages.push_back(std::move(message));
  return request;
}

std::string CheckRandomReply(const std::vector<std::wstring>& request, const std::vector<std::wstring>& reply,
                             const std::vector<std::uint8_t>& replyBytes) {
  size_t expectedBytes = 4;
  for (const std::wstring& field : reply) {
    if (field.empty()) return "an empty reply field";
    expectedBytes += 4 + 2 * field.size();
  }
  if (expectedBytes != replyBytes.size()) return "the reply's counts are not its fields' units";
  const bool error = reply.size() == 2 && reply[0] == L"Error";
  if (request.empty()) return error && reply[1] == L"Empty request received." ? "" : "no error for an empty request";
  const std::wstring& command = request[0];
  if (command == L"Running") return reply.empty() ? "" : "Running answered with fields";
  if (error) {
    if (command == L"GetOpenDocuments" || command == L"CheckAllDocumentsSaved" || command == L"ReadRaw" ||
        command == L"SendImage") {
      return "";
    }
    return StartsWith(reply[1], L"Unknown command '") ? "" : "an unknown command answered otherwise";
  }
  if (command == L"GetOpenDocuments") return reply.size() % 5 == 0 ? "" : "documents not in fives";
  if (command == L"CheckAllDocumentsSaved") {
    return reply.size() == 1 && (reply[0] == L"true" || reply[0] == L"false") ? "" : "not true or false";
  }
  if (command == L"ReadRaw") return reply.size() == 3 && reply[0] == L"OK" ? "" : "ReadRaw answered neither OK W H nor Error";
  if (command == L"SendImage") return reply.size() == 1 && reply[0] == L"OK" ? "" : "SendImage answered neither OK nor Error";
  return "an unknown command answered without an error";
}

namespace {

// Reads one reply and checks it against the message it answers; false when no whole reply came.
bool ReadAndCheckReply(HANDLE pipe, const std::vector<std::wstring>& message, RandomCounts* counts,
                       const std::function<void(const std::string&)>& fail) {
  const Reply reply = ReadReply(pipe);
  if (!reply.complete) {
    fail("no whole reply: " + (reply.problem.empty() ? DescribeError(reply.error) : reply.problem));
    return false;
  }
  ++counts->replies;
  const std::string problem = CheckRandomReply(message, reply.fields, reply.bytes);
  if (problem.empty()) {
    ++counts->wellFormed;
  } else {
    fail(problem + ", request " + QuotedFields(Shortened(message)) + ", reply " + QuotedFields(Shortened(reply.fields)));
  }
  return true;
}

// Sends one request a message at a time, reading each message's reply before writing the next: a
// reply longer than the pipe's buffer is taken only while nothing else is being written. False when
// the pipe failed.
bool SendRandomRequest(HANDLE pipe, const RandomRequest& request, RandomCounts* counts,
                       const std::function<void(const std::string&)>& fail) {
  size_t sent = 0;
  for (const RandomMessage& message : request.messages) {
    const std::vector<std::uint8_t> bytes(request.bytes.begin() + std::ptrdiff_t(sent),
                                          request.bytes.begin() + std::ptrdiff_t(message.end));
    sent = message.end;
    if (const DWORD error = WriteAll(pipe, bytes)) {
      fail("writing: " + DescribeError(error));
      return false;
    }
    ++counts->requests;
    if (!ReadAndCheckReply(pipe, message.fields, counts, fail)) return false;
  }
  if (!request.breaksFraming) return true;
  // The rest stops inside a count or a field: the plug-in waits for more, until the caller closes.
  if (const DWORD error = WriteAll(pipe, std::vector<std::uint8_t>(request.bytes.begin() + std::ptrdiff_t(sent), request.bytes.end()))) {
    fail("writing: " + DescribeError(error));
    return false;
  }
  ++counts->framingBreaks;
  return true;
}

}  // namespace

bool RunRandomRequests(HANDLE pipe, std::uint64_t seed, std::uint32_t count, std::uint64_t first,
                       Transcript& transcript, RandomCounts* counts) {
  const std::wstring stem = L"zk-random-" + std::to_wstring(GetCurrentProcessId());
  const RandomSegments segments{stem + L"-image", stem + L"-small", stem + L"-missing"};
  const UniqueHandle image(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 65536, segments.image.c_str()));
  const UniqueHandle small(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, segments.small.c_str()));
  int failuresWritten = 0;
  std::uint64_t number = first;
  const std::function<void(const std::string&)> fail = [&](const std::string& reason) {
    ++counts->bad;
    if (++failuresWritten <= 20) transcript.Line("random-failure", "request " + std::to_string(number) + ": " + reason);
  };
  bool ok = image.Valid() && small.Valid();
  if (!ok) transcript.Line("error", "random: cannot create the segments: " + DescribeError(GetLastError()));
  bool broke = false;
  for (; ok && !broke && number < first + count; ++number) {
    const RandomRequest request = MakeRandomRequest(seed, number, segments);
    counts->largestField = std::max(counts->largestField, request.longestField);
    counts->earlyEnds += request.messages.size() + (request.breaksFraming ? 1 : 0) - 1;
    ++counts->sent;
    ok = SendRandomRequest(pipe, request, counts, fail);
    broke = request.breaksFraming;  // the caller closes the pipe
  }
  counts->next = number;
  // Exactly one reply per message: a request of our own whose answer is known must be the next
  // thing to arrive, so a reply too many (or one still on its way) shows as its mismatch.
  if (ok && !broke) {
    const std::wstring probe = L"zk-random-end-" + std::to_wstring(number);
    if (const DWORD error = WriteAll(pipe, EncodeMessage({probe}))) {
      fail("writing the closing request: " + DescribeError(error));
      ok = false;
    } else {
      const Reply reply = ReadReply(pipe);
      if (!reply.complete) {
        fail("no whole reply to the closing request: " + (reply.problem.empty() ? DescribeError(reply.error) : reply.problem));
        ok = false;
      } else if (reply.fields != std::vector<std::wstring>{L"Error", L"Unknown command '" + probe + L"' received."}) {
        fail("the closing request was answered " + QuotedFields(Shortened(reply.fields)) + ": a reply too many came before it");
      }
    }
  }
  return ok && counts->bad == 0;
}

}  // namespace zk
