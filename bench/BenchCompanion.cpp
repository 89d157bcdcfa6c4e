// The benchmarking companion, installed as ZentrastKolvane.exe in a folder of the bench's own: the
// module starts it as it starts the real companion. It plays the plan the bench host wrote
// (ZK_BENCH_PLAN), measures every round trip with QueryPerformanceCounter, asks the bench host
// for its figures around each request (the marks; with them the module's own time in parts around
// its host calls), measures the baselines of the same bytes (a
// bare echo over a pipe of the bench host's, the same echo handed through a second thread's
// message loop, each segment of an image request opened by name, mapped, unmapped and closed (by
// the bench host, on its main thread), one memcpy, a push through that pipe) and appends one
// line per repetition to ZK_BENCH_RESULTS.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchShared.h"
#include "WindowsOwners.h"

using namespace zkbench;

namespace {

struct Context {
  HANDLE bridge = INVALID_HANDLE_VALUE;
  PipeReader* bridgeReader = nullptr;
  HANDLE echo = INVALID_HANDLE_VALUE;
  PipeReader* echoReader = nullptr;
  Figures* figures = nullptr;
  HANDLE mark = nullptr;
  HANDLE marked = nullptr;
  double microsPerTick = 0;
  std::string results;
  bool markLost = false;  // a mark went unanswered: every later mark would read an earlier one's figures
};

// A ceiling for a bench host that never answers, far beyond a mark's work on a loaded machine
// (closing a document of 2.4 GB and sampling the memory).
constexpr DWORD kMarkCeilingMs = 10 * 60 * 1000;

Figures Mark(Context& context, MarkCommand command) {
  context.figures->command = command;
  SetEvent(context.mark);
  // An answer that comes after the ceiling would be taken by the next mark as its own: from here on
  // no figure can be trusted, so none is written.
  if (WaitForSingleObject(context.marked, kMarkCeilingMs) != WAIT_OBJECT_0) context.markLost = true;
  return *context.figures;
}

bool RoundTrip(Context& context, const std::string& request, std::vector<std::string>* fields, std::string* raw) {
  if (!WriteAll(context.bridge, request.data(), request.size())) return false;
  return ReadFramed(*context.bridgeReader, raw, fields);
}

// kEchoRequest: a bare echo; kEchoRequestViaLoop: handed to a second thread's message loop and back.
double EchoRoundTrip(Context& context, const std::string& request, EchoTag tag = kEchoRequest) {
  std::string message(4, '\0');
  memcpy(&message[0], &tag, 4);
  message += request;
  std::string raw;
  const int64_t start = Ticks();
  WriteAll(context.echo, message.data(), message.size());
  ReadFramed(*context.echoReader, &raw);
  return double(Ticks() - start) * context.microsPerTick;
}

void SetEchoReply(Context& context, const std::string& reply) {
  std::string message(8, '\0');
  const uint32_t tag = kEchoSetReply, length = uint32_t(reply.size());
  memcpy(&message[0], &tag, 4);
  memcpy(&message[4], &length, 4);
  message += reply;
  WriteAll(context.echo, message.data(), message.size());
}

double Push(Context& context, const uint8_t* bytes, uint64_t size) {
  const uint32_t tag = kEchoPush;
  const int64_t start = Ticks();
  WriteAll(context.echo, &tag, 4);
  WriteAll(context.echo, &size, 8);
  WriteAll(context.echo, bytes, size_t(size));
  uint32_t answer = 0;
  context.echoReader->Read(&answer, 4);
  return double(Ticks() - start) * context.microsPerTick;
}

double Micros(const Context& context, int64_t ticks) { return double(ticks) * context.microsPerTick; }

// The module's own time of a request in three parts, each measured as an interval of its own on
// the one system clock both processes read: from the request written to the module's first host
// call, the module's time between its host calls (summed by the host as they happen), and from
// its last host call's end to the reply read. None of them holds a host call, so none is the
// difference of a long round trip and a long time in the host. A request that made no host call
// has no parts: all its round trip is the module's.
std::vector<std::pair<std::string, double>> OwnParts(const Context& context, const Figures& after, int64_t start,
                                                     int64_t end) {
  if (after.hostCalls == 0) return {{"hostcalls", 0}};
  return {{"hostcalls", double(after.hostCalls)},
          {"ownbefore", Micros(context, after.firstCallTicks - start)},
          {"ownbetween", Micros(context, after.betweenCallsTicks)},
          {"ownafter", Micros(context, end - after.lastCallEndTicks)}};
}

std::vector<std::pair<std::string, double>> Joined(std::vector<std::pair<std::string, double>> values,
                                                   const std::vector<std::pair<std::string, double>>& more) {
  values.insert(values.end(), more.begin(), more.end());
  return values;
}

// One line: kind,name,size,depth,rep,then key=value pairs.
void Row(Context& context, const std::string& head, const std::vector<std::pair<std::string, double>>& values) {
  if (context.markLost) return;
  std::ostringstream line;
  line << head;
  for (const auto& value : values) line << ',' << value.first << '=' << value.second;
  context.results += line.str() + "\n";
}

void SmallRequests(Context& context, const std::string& kind, int documents, int repetitions) {
  const std::string request = FrameMessage({kind});
  std::string reply;
  std::vector<std::string> fields;
  for (int warm = 0; warm < 2; ++warm) RoundTrip(context, request, &fields, &reply);
  SetEchoReply(context, reply);
  for (int i = 0; i < 3; ++i) EchoRoundTrip(context, request);
  for (int i = 0; i < 3; ++i) EchoRoundTrip(context, request, kEchoRequestViaLoop);
  for (int rep = 0; rep < repetitions; ++rep) {
    const double echo = EchoRoundTrip(context, request);
    const double loopEcho = EchoRoundTrip(context, request, kEchoRequestViaLoop);
    const Figures before = Mark(context, kMarkBefore);
    const int64_t start = Ticks();
    RoundTrip(context, request, nullptr, &reply);
    const int64_t end = Ticks();
    const Figures after = Mark(context, kMarkAfter);
    Row(context, "small," + kind + "," + std::to_string(documents) + ",0," + std::to_string(rep),
        Joined({{"roundtrip", Micros(context, end - start)},
                {"host", Micros(context, after.procedureTicks - before.procedureTicks)},
                {"echo", echo},
                {"loopecho", loopEcho},
                {"replybytes", double(reply.size())},
                {"requestbytes", double(request.size())}},
               OwnParts(context, after, start, end)));
  }
}

struct Segment {
  UniqueHandle mapping;
  UniqueMappedView view;
  uint8_t* Bytes() const { return static_cast<uint8_t*>(view.Get()); }
};

bool CreateSegment(const std::string& name, uint64_t size, Segment* segment) {
  segment->mapping.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, DWORD(size >> 32),
                                            DWORD(size), name.c_str()));
  if (!segment->mapping) return false;
  segment->view.Reset(MapViewOfFile(segment->mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, size_t(size)));
  return bool(segment->view);
}

struct ImageBaselines {
  double memcpyMicros = 0, pushMicros = 0, segmentsMicros = 0, loopEchoMicros = 0;
};

NamedSegment Named(const std::string& name, uint64_t bytes, bool written) {
  NamedSegment segment;
  strncpy(segment.name, name.c_str(), sizeof segment.name - 1);
  segment.bytes = bytes;
  segment.written = written ? 1 : 0;
  return segment;
}

// The segments' limit as the bench host takes it on its main thread, where the module maps them.
double HostSegmentsMicros(Context& context, const std::vector<NamedSegment>& segments) {
  context.figures->segmentCount = int32_t(segments.size());
  for (size_t i = 0; i < segments.size() && i < size_t(kMostSegments); ++i) context.figures->segments[i] = segments[i];
  return Mark(context, kMeasureSegments).segmentsMicros;
}

// The memcpy baseline copies into a buffer of at most this size, piece after piece: a second
// copy of a picture of gigabytes would double the bench's memory for a figure that is the same
// once the buffer is far larger than the processor's caches.
constexpr uint64_t kLargestCopyBuffer = uint64_t(256) << 20;

std::vector<uint8_t> CopyBuffer(uint64_t size) {
  return std::vector<uint8_t>(size_t(size < kLargestCopyBuffer ? size : kLargestCopyBuffer), 2);
}

// The baselines of an image request: one memcpy of its pixels into a second buffer (both touched
// first; in pieces into a buffer of kLargestCopyBuffer when the pixels are larger), one push of
// them through the bench host's pipe, the limit of its segments (taken in the host's process), and
// the request's own bytes echoed via a message loop (the transport every request pays).
ImageBaselines Baselines(Context& context, const Segment& pixels, uint64_t size, std::vector<uint8_t>& copy,
                         const std::string& request, const std::vector<NamedSegment>& segments) {
  ImageBaselines baselines;
  const int64_t start = Ticks();
  for (uint64_t at = 0; at < size; at += copy.size()) {
    memcpy(copy.data(), pixels.Bytes() + at, size_t(size - at < copy.size() ? size - at : copy.size()));
  }
  baselines.memcpyMicros = Micros(context, Ticks() - start);
  baselines.pushMicros = Push(context, pixels.Bytes(), size);
  baselines.segmentsMicros = HostSegmentsMicros(context, segments);
  baselines.loopEchoMicros = EchoRoundTrip(context, request, kEchoRequestViaLoop);
  return baselines;
}

std::vector<std::pair<std::string, double>> ImageValues(Context& context, const Figures& before, const Figures& after,
                                                        double roundTrip, const ImageBaselines& baselines) {
  return {{"roundtrip", roundTrip},
          {"host", Micros(context, after.procedureTicks - before.procedureTicks)},
          {"decode", Micros(context, after.openTicks - before.openTicks)},
          {"export", Micros(context, after.exportTicks - before.exportTicks)},
          {"import", Micros(context, after.importTicks - before.importTicks)},
          {"memcpy", baselines.memcpyMicros},
          {"push", baselines.pushMicros},
          {"segments", baselines.segmentsMicros},
          {"loopecho", baselines.loopEchoMicros},
          {"private_before", double(before.privateBytes)},
          {"private_peak", double(after.peakPrivateBytes)},
          {"private_after", double(after.privateBytes)},
          {"private_closed", double(after.closedPrivateBytes)},
          {"handles_before", double(before.handles)},
          {"handles_peak", double(after.peakHandles)},
          {"handles_after", double(after.handles)},
          {"handles_closed", double(after.closedHandles)},
          {"made", double(after.madeBytes)}};
}

// Sends one image request repetitions times, each measured against the baselines of the same
// bytes, and writes a row per repetition. False with what the module answered otherwise.
bool MeasureImageRequest(Context& context, const char* command, const std::string& request, const Segment& pixels,
                         const std::vector<NamedSegment>& segments, uint64_t size, int width, int height, int depth,
                         int repetitions, std::string* failure) {
  std::vector<uint8_t> copy = CopyBuffer(size);
  // The echo answers as the module does when all goes well.
  SetEchoReply(context, std::string(command) == "ReadRaw"
                            ? FrameMessage({"OK", std::to_string(width), std::to_string(height)})
                            : FrameMessage({"OK"}));
  for (int rep = 0; rep < repetitions; ++rep) {
    // The host samples its memory from here on: the baselines are taken beside the same sampler
    // as the request itself.
    const Figures before = Mark(context, kMarkBeforeSampling);
    const ImageBaselines baselines = Baselines(context, pixels, size, copy, request, segments);
    std::vector<std::string> fields;
    std::string reply;
    const int64_t start = Ticks();
    RoundTrip(context, request, &fields, &reply);
    const int64_t end = Ticks();
    const Figures after = Mark(context, kMarkAfter);
    if (fields.empty() || fields[0] != "OK") {
      *failure = std::string(command) + " answered " +
                 (fields.empty() ? std::string("nothing") : fields[0] + (fields.size() > 1 ? " " + fields[1] : ""));
      return false;
    }
    Row(context, std::string("image,") + command + "," + std::to_string(width) + "x" + std::to_string(height) + "," +
                     std::to_string(depth) + "," + std::to_string(rep),
        Joined(ImageValues(context, before, after, Micros(context, end - start), baselines),
               OwnParts(context, after, start, end)));
  }
  return true;
}

bool ReadRawRequests(Context& context, const std::string& path, int width, int height, int depth, int repetitions,
                     std::string* failure) {
  const uint64_t size = uint64_t(width) * uint64_t(height) * 3 * uint64_t(depth / 8);
  Segment segment;
  const std::string name = "Local\\zk-bench-raw-" + std::to_string(GetCurrentProcessId());
  if (!CreateSegment(name, size, &segment)) return *failure = "segment", false;
  memset(segment.Bytes(), 1, size_t(size));
  const std::string request =
      FrameMessage({"ReadRaw", path, name, std::to_string(size), std::to_string(depth)});
  return MeasureImageRequest(context, "ReadRaw", request, segment, {Named(name, size, true)}, size, width, height,
                             depth, repetitions, failure);
}

bool SendImageRequests(Context& context, int width, int height, int depth, int repetitions, std::string* failure) {
  const uint64_t size = uint64_t(width) * uint64_t(height) * 3 * uint64_t(depth / 8);
  Segment image, metadata;
  const std::string imageName = "Local\\zk-bench-image-" + std::to_string(GetCurrentProcessId());
  const std::string metadataName = "Local\\zk-bench-metadata-" + std::to_string(GetCurrentProcessId());
  if (!CreateSegment(imageName, size, &image) || !CreateSegment(metadataName, 4096, &metadata)) {
    return *failure = "segment", false;
  }
  uint8_t* const bytes = image.Bytes();
  for (uint64_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7);
  const std::string text = "<metadata><creator>bench</creator></metadata>";
  memcpy(metadata.Bytes(), text.data(), text.size());
  const std::string request = FrameMessage({"SendImage", "C:\\bench\\source.png", imageName, std::to_string(width),
                                            std::to_string(height), std::to_string(depth), metadataName,
                                            std::to_string(text.size())});
  const std::vector<NamedSegment> segments = {Named(imageName, size, false),
                                              Named(metadataName, uint64_t(text.size()), false)};
  return MeasureImageRequest(context, "SendImage", request, image, segments, size, width, height, depth, repetitions,
                             failure);
}

HANDLE OpenPipe(const std::wstring& name) {
  for (int attempt = 0; attempt < 400; ++attempt) {
    HANDLE pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return pipe;
    Sleep(50);
  }
  return INVALID_HANDLE_VALUE;
}

std::wstring PipeSuffix() {
  const std::wstring line = GetCommandLineW();
  const size_t at = line.rfind(L" -s ");
  if (at == std::wstring::npos) return L"";
  std::wstring suffix = line.substr(at + 4);
  const size_t first = suffix.find_first_not_of(L" \t");
  const size_t last = suffix.find_last_not_of(L" \t");
  return first == std::wstring::npos ? L"" : suffix.substr(first, last - first + 1);
}

}  // namespace

int main() {
  const char* planPath = std::getenv("ZK_BENCH_PLAN");
  const char* resultsPath = std::getenv("ZK_BENCH_RESULTS");
  const std::wstring suffix = PipeSuffix();
  if (!planPath || !resultsPath || suffix.empty()) return 2;

  Context context;
  context.microsPerTick = 1e6 / double(Frequency());
  UniqueFile bridge(OpenPipe(L"\\\\.\\pipe\\" + suffix));
  UniqueFile echo(OpenPipe(kEchoPipe));
  UniqueHandle mapping(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kFiguresName));
  UniqueHandle mark(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, kMarkEvent));
  UniqueHandle marked(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, kMarkedEvent));
  if (!bridge || !echo || !mapping || !mark || !marked) return 4;
  UniqueMappedView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Figures)));
  if (!view) return 4;
  PipeReader bridgeReader(bridge.Get()), echoReader(echo.Get());
  context.bridge = bridge.Get();
  context.bridgeReader = &bridgeReader;
  context.echo = echo.Get();
  context.echoReader = &echoReader;
  context.figures = static_cast<Figures*>(view.Get());
  context.mark = mark.Get();
  context.marked = marked.Get();

  std::string reply;
  RoundTrip(context, FrameMessage({"Running"}), nullptr, &reply);

  std::ifstream plan(planPath);
  std::string line;
  int exitCode = 0;
  while (std::getline(plan, line)) {
    std::istringstream words(line);
    std::string what;
    words >> what;
    std::string failure;
    if (what == "small") {
      std::string kind;
      int documents = 0, repetitions = 0;
      words >> kind >> documents >> repetitions;
      SmallRequests(context, kind, documents, repetitions);
    } else if (what == "readraw") {
      std::string path;
      int width = 0, height = 0, depth = 0, repetitions = 0;
      words >> path >> width >> height >> depth >> repetitions;
      if (!ReadRawRequests(context, path, width, height, depth, repetitions, &failure)) exitCode = 8;
    } else if (what == "sendimage") {
      int width = 0, height = 0, depth = 0, repetitions = 0;
      words >> width >> height >> depth >> repetitions;
      if (!SendImageRequests(context, width, height, depth, repetitions, &failure)) exitCode = 8;
    }
    if (!failure.empty()) context.results += "failed," + line + "," + failure + "\n";
    if (context.markLost) {
      context.results += "failed," + line + ",the bench host did not answer a mark within 10 minutes; the run stops there\n";
      exitCode = 8;
      break;
    }
  }
  bridge.Reset();  // the end of the run for the module

  FILE* results = std::fopen(resultsPath, "ab");
  if (!results) return 1;
  std::fwrite(context.results.data(), 1, context.results.size(), results);
  std::fclose(results);
  return exitCode;
}
