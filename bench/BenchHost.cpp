// The bench host: loads the real module through the stand-in host as zkhost does, opens documents,
// sends Do It with the benchmarking companion installed, and answers the companion's marks with the
// host's figures (time inside host calls and played events, private bytes, handles). Then it
// measures the log's cost per entry, and writes the table as CSV and Markdown and a plot as PNG.
//
//   bench_host.exe PLUGINS-FOLDER COMPANION-FOLDER OUTPUT-FOLDER [quick]
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchPlot.h"
#include "BenchShared.h"
#include "DocumentModel.h"
#include "FourCCText.h"
#include "ImageEvents.h"
#include "ImageFiles.h"
#include "ImagePixels.h"
#include "ModalRobot.h"
#include "PluginLog.h"
#include "StandInHost.h"
#include "WindowsOwners.h"

using namespace zkbench;

namespace {

constexpr char kRegistryKey[] = "Software\\Varnholt\\ZentrastTavri";
constexpr char kMenuName[] = "Zentrast Kolvane...";
constexpr UINT kCloseMadeDocuments = WM_APP + 1;
constexpr UINT kLastDocumentId = WM_APP + 2;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += char(c);
  return out;
}

// --- The host's figures at each mark --------------------------------------------------------

struct Sample {
  int64_t privateBytes = 0;
  int64_t handles = 0;
};

Sample TakeSample() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  // Wine leaves PrivateUsage at 0 in some versions: the page-file usage is the same commit charge.
  const SIZE_T privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
  return {int64_t(privateBytes), int64_t(handles)};
}

zk::DocumentModel* Documents = nullptr;
uint32_t LastIdBefore = 0;
int64_t MadeBytes = 0;

// On the host's main thread (it pumps messages inside the module's modal window): the document
// model is only ever touched there.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kLastDocumentId) {
    uint32_t last = 0;
    for (const zk::HostDocument& document : Documents->Documents()) last = std::max(last, document.id);
    return LRESULT(last);
  }
  if (message == kCloseMadeDocuments) {
    std::vector<uint32_t> made;
    MadeBytes = 0;
    for (const zk::HostDocument& document : Documents->Documents()) {
      if (document.id > LastIdBefore) {
        made.push_back(document.id);
        MadeBytes += int64_t(document.samples.size());
      }
    }
    for (uint32_t id : made) Documents->Close(id);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class MarkServer {
 public:
  MarkServer(zk::StandInHost& host, HWND window) : host_(host), window_(window) {
    mapping_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Figures), kFiguresName));
    view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Figures)));
    mark_.Reset(CreateEventW(nullptr, FALSE, FALSE, kMarkEvent));
    marked_.Reset(CreateEventW(nullptr, FALSE, FALSE, kMarkedEvent));
    thread_ = std::thread([this] { Serve(); });
  }
  ~MarkServer() {
    stop_ = true;
    SetEvent(mark_.Get());
    thread_.join();
  }

 private:
  void Serve() {
    auto* figures = static_cast<Figures*>(view_.Get());
    bool sampling = false;
    Sample peak;
    for (;;) {
      const DWORD waited = WaitForSingleObject(mark_.Get(), sampling ? 1 : INFINITE);
      if (stop_) return;
      const Sample now = TakeSample();
      if (waited == WAIT_TIMEOUT) {
        peak.privateBytes = std::max(peak.privateBytes, now.privateBytes);
        peak.handles = std::max(peak.handles, now.handles);
        continue;
      }
      zk::HostBookkeeping& book = host_.Book();
      figures->frequency = Frequency();
      figures->procedureTicks = book.ProcedureTicks();
      figures->openTicks = book.EventTicks(FourCC("Opn "));
      figures->exportTicks = book.EventTicks(FourCC("Expr"));
      figures->importTicks = book.EventTicks(FourCC("Impr"));
      figures->privateBytes = now.privateBytes;
      figures->handles = now.handles;
      if (figures->command == kMarkBefore) {
        LastIdBefore = uint32_t(SendMessageW(window_, kLastDocumentId, 0, 0));
        peak = TakeSample();
        sampling = true;
      } else {
        sampling = false;
        figures->peakPrivateBytes = std::max(peak.privateBytes, now.privateBytes);
        figures->peakHandles = std::max(peak.handles, now.handles);
        SendMessageW(window_, kCloseMadeDocuments, 0, 0);
        figures->madeBytes = MadeBytes;
        const Sample closed = TakeSample();
        figures->closedPrivateBytes = closed.privateBytes;
        figures->closedHandles = closed.handles;
      }
      SetEvent(marked_.Get());
    }
  }

  zk::StandInHost& host_;
  HWND window_;
  UniqueHandle mapping_;
  UniqueMappedView view_;
  UniqueHandle mark_, marked_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// --- The bare echo and the push: a pipe of the bench host's own --------------------------------

class EchoServer {
 public:
  EchoServer() { thread_ = std::thread([this] { Serve(); }); }
  ~EchoServer() {
    stop_ = true;
    {
      // A connection that closes at once wakes the server from its wait for a client.
      const UniqueFile wake(CreateFileW(kEchoPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    thread_.join();
  }

 private:
  void Serve() {
    std::vector<char> sink(1 << 20);
    while (!stop_) {
      UniqueFile pipe(CreateNamedPipeW(kEchoPipe, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1,
                                       1 << 20, 1 << 20, 0, nullptr));
      if (!pipe) return;
      if (!ConnectNamedPipe(pipe.Get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) continue;
      PipeReader reader(pipe.Get());
      std::string reply, raw;
      for (;;) {
        uint32_t tag = 0;
        if (!reader.Read(&tag, 4)) break;
        if (tag == kEchoSetReply) {
          uint32_t length = 0;
          if (!reader.Read(&length, 4)) break;
          reply.assign(length, '\0');
          if (!reader.Read(&reply[0], length)) break;
        } else if (tag == kEchoRequest) {
          if (!ReadFramed(reader, &raw)) break;
          if (!WriteAll(pipe.Get(), reply.data(), reply.size())) break;
        } else if (tag == kEchoPush) {
          uint64_t size = 0;
          if (!reader.Read(&size, 8)) break;
          bool ok = true;
          while (size > 0 && ok) {
            const size_t take = size_t(std::min<uint64_t>(size, sink.size()));
            ok = reader.Read(sink.data(), take);
            size -= take;
          }
          const uint32_t answer = 0;
          if (!ok || !WriteAll(pipe.Get(), &answer, 4)) break;
        } else {
          break;
        }
      }
      DisconnectNamedPipe(pipe.Get());
    }
  }
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// --- The log's cost per entry -------------------------------------------------------------------

// How every entry was written before: open, write and close in text mode.
void OpenWriteCloseEntry(const char* path, const char* format, ...) {
  FILE* file = std::fopen(path, "a");
  if (file == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(file, format, arguments);
  va_end(arguments);
  std::fclose(file);
}

double Median(std::vector<double> values) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct LogCost {
  double openWriteClose = 0, session10 = 0, session1000 = 0;  // microseconds per entry, medians
};

LogCost MeasureLogCost(const std::wstring& folder) {
  const std::string path = Narrow(folder) + "\\ZKVPlugin.log";
  LogFilePath = path;
  const double microsPerTick = 1e6 / double(Frequency());
  const char* entry = "GetOpenDocuments: sPSActionDescriptor->GetAlias()\n";
  constexpr int kEntries = 2000;
  std::vector<double> old, ten, thousand;
  for (int round = 0; round < 5; ++round) {
    DeleteFileA(path.c_str());
    int64_t start = Ticks();
    for (int i = 0; i < kEntries; ++i) OpenWriteCloseEntry(path.c_str(), "%s", entry);
    old.push_back(double(Ticks() - start) * microsPerTick / kEntries);
    DeleteFileA(path.c_str());
    start = Ticks();
    for (int i = 0; i < kEntries / 10; ++i) {
      const LogSession session;
      for (int j = 0; j < 10; ++j) LogAppend("%s", entry);
    }
    ten.push_back(double(Ticks() - start) * microsPerTick / kEntries);
    DeleteFileA(path.c_str());
    start = Ticks();
    for (int i = 0; i < kEntries / 1000; ++i) {
      const LogSession session;
      for (int j = 0; j < 1000; ++j) LogAppend("%s", entry);
    }
    thousand.push_back(double(Ticks() - start) * microsPerTick / kEntries);
  }
  DeleteFileA(path.c_str());
  LogFilePath.clear();
  return {Median(old), Median(ten), Median(thousand)};
}

// --- Results ------------------------------------------------------------------------------------

struct Row {
  std::string kind, name, size;
  int depth = 0;
  std::map<std::string, double> values;
};

std::vector<Row> ReadRows(const std::wstring& path, std::vector<std::string>* failures) {
  std::vector<Row> rows;
  std::ifstream file(Narrow(path));
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("failed,", 0) == 0) {
      failures->push_back(line);
      continue;
    }
    std::vector<std::string> parts;
    std::stringstream split(line);
    std::string part;
    while (std::getline(split, part, ',')) parts.push_back(part);
    if (parts.size() < 5) continue;
    Row row{parts[0], parts[1], parts[2], std::atoi(parts[3].c_str()), {}};
    for (size_t i = 5; i < parts.size(); ++i) {
      const size_t equals = parts[i].find('=');
      if (equals != std::string::npos) row.values[parts[i].substr(0, equals)] = std::atof(parts[i].c_str() + equals + 1);
    }
    rows.push_back(row);
  }
  return rows;
}

struct Stat {
  double median = NAN, low = NAN, high = NAN;
};

Stat StatOf(const std::vector<Row>& rows, const std::string& key) {
  std::vector<double> values;
  for (const Row& row : rows) values.push_back(row.values.count(key) ? row.values.at(key) : NAN);
  Stat stat;
  if (values.empty()) return stat;
  stat.median = Median(values);
  stat.low = *std::min_element(values.begin(), values.end());
  stat.high = *std::max_element(values.begin(), values.end());
  return stat;
}

// A key computed from each row (e.g. the round trip less the host's time), then its statistics.
template <class Compute>
Stat StatOfComputed(const std::vector<Row>& rows, Compute compute) {
  std::vector<Row> computed = rows;
  for (Row& row : computed) row.values["x"] = compute(row.values);
  return StatOf(computed, "x");
}

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  return buffer;
}

std::string Spread(const Stat& stat) { return Format("%.1f [%.1f-%.1f]", stat.median, stat.low, stat.high); }

int64_t Pixels(const std::string& size) {
  const size_t x = size.find('x');
  return std::atoll(size.c_str()) * std::atoll(size.c_str() + x + 1);
}

std::vector<Row> Select(const std::vector<Row>& rows, const std::string& kind, const std::string& name,
                        const std::string& size, int depth) {
  std::vector<Row> selected;
  for (const Row& row : rows)
    if (row.kind == kind && row.name == name && row.size == size && row.depth == depth) selected.push_back(row);
  return selected;
}

double Value(const std::map<std::string, double>& values, const char* key) {
  const auto found = values.find(key);
  return found == values.end() ? NAN : found->second;
}

struct Target {
  std::string what, measured, limit;
  bool met;
};

int Report(const std::vector<Row>& rows, const std::vector<std::string>& failures, const LogCost& logCost,
           int64_t logBytes, int64_t oldLogBytes, const std::string& output) {
  std::string csv = "group,request,documents_or_size,depth,metric,median,min,max,unit\n";
  std::string markdown = "# How fast the bridge is\n\nTimes in microseconds: median [min-max] of the repetitions; "
                         "ratios are medians of per-repetition ratios measured in the same run.\n\n";
  std::string console;
  std::vector<Target> targets;
  auto addCsv = [&csv](const std::string& group, const std::string& request, const std::string& size, int depth,
                       const std::string& metric, const Stat& stat, const char* unit) {
    csv += Format("%s,%s,%s,%d,%s,%.3f,%.3f,%.3f,%s\n", group.c_str(), request.c_str(), size.c_str(), depth,
                  metric.c_str(), stat.median, stat.low, stat.high, unit);
  };

  // Small requests.
  std::string table = "| request | documents | round trip (us) | in host calls (us) | module's own (us) | bare echo (us) | "
                      "round trip / echo |\n|---|---|---|---|---|---|---|\n";
  std::map<std::string, std::map<int, Stat>> moduleTime;
  std::map<std::string, std::map<int, Stat>> echoTime;
  for (const char* kind : {"Running", "CheckAllDocumentsSaved", "GetOpenDocuments"}) {
    for (const int count : {1, 10, 100, 1000}) {
      const std::vector<Row> selected = Select(rows, "small", kind, std::to_string(count), 0);
      if (selected.empty()) continue;
      const Stat roundTrip = StatOf(selected, "roundtrip"), host = StatOf(selected, "host"), echo = StatOf(selected, "echo");
      const Stat own = StatOfComputed(selected, [](const auto& v) { return Value(v, "roundtrip") - Value(v, "host"); });
      const Stat ratio = StatOfComputed(selected, [](const auto& v) { return Value(v, "roundtrip") / Value(v, "echo"); });
      moduleTime[kind][count] = own;
      echoTime[kind][count] = echo;
      table += Format("| %s | %d | %s | %s | %s | %s | %.2f [%.2f-%.2f] |\n", kind, count, Spread(roundTrip).c_str(),
                      Spread(host).c_str(), Spread(own).c_str(), Spread(echo).c_str(), ratio.median, ratio.low, ratio.high);
      const std::string size = std::to_string(count);
      addCsv("small", kind, size, 0, "round_trip", roundTrip, "us");
      addCsv("small", kind, size, 0, "in_host_calls", host, "us");
      addCsv("small", kind, size, 0, "module_own", own, "us");
      addCsv("small", kind, size, 0, "bare_echo", echo, "us");
      addCsv("small", kind, size, 0, "round_trip_per_echo", ratio, "ratio");
      if (std::string(kind) == "Running") {
        targets.push_back({Format("\"Running\" with %d documents: round trip / bare echo", count), Format("%.2f", ratio.median),
                           "<= 1.3", ratio.median <= 1.3});
      }
    }
  }
  markdown += "## Small requests\n\n" + table + "\n";
  console += "Small requests (times in microseconds, median [min-max])\n" + table + "\n";

  for (const char* kind : {"CheckAllDocumentsSaved", "GetOpenDocuments"}) {
    if (!moduleTime[kind].count(1) || !moduleTime[kind].count(1000)) continue;
    const double perDocument = (moduleTime[kind][1000].median - moduleTime[kind][1].median) / 999.0;
    const double echo = echoTime[kind][1000].median;
    const double ratio = perDocument / echo;
    targets.push_back({Format("\"%s\": module's own time per open document / one bare echo (%.2f us / %.1f us)", kind,
                              perDocument, echo),
                       Format("%.3f", ratio), "<= 0.1", ratio <= 0.1});
    csv += Format("small,%s,per_document,0,module_own_per_document,%.3f,%.3f,%.3f,us\n", kind, perDocument, perDocument,
                  perDocument);
  }

  // Image requests.
  table = "| request | size | depth | round trip (ms) | decode (ms) | export/import plug-in (ms) | in host calls (ms) | "
          "module's own (ms) | memcpy (ms) | pipe push (ms) | (round trip - decode) / memcpy | pipe push / (round trip - decode) | "
          "module / memcpy |\n|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  std::string memoryTable = "| request | size | depth | document (MiB) | private before (MiB) | growth during (MiB) | "
                            "left after (MiB) | handles before | handles left after |\n|---|---|---|---|---|---|---|---|---|\n";
  std::vector<std::string> sizes;
  for (const Row& row : rows)
    if (row.kind == "image" && std::find(sizes.begin(), sizes.end(), row.size) == sizes.end()) sizes.push_back(row.size);
  std::sort(sizes.begin(), sizes.end(), [](const std::string& a, const std::string& b) { return Pixels(a) < Pixels(b); });
  std::map<std::string, PlotSeries> plot;
  const uint32_t colours[] = {0xD62728, 0x1F77B4, 0x2CA02C, 0xFF7F0E, 0x9467BD, 0x7F7F7F, 0x17BECF, 0x8C564B};
  std::vector<std::string> plotOrder;
  auto plotPoint = [&](const std::string& name, double x, double y) {
    if (!plot.count(name)) {
      plot[name].name = name;
      plot[name].rgb = colours[plotOrder.size() % 8];
      plotOrder.push_back(name);
    }
    plot[name].points.push_back({x, y});
  };
  for (const std::string& size : sizes) {
    const double megapixels = double(Pixels(size)) / 1e6;
    for (const int depth : {8, 16}) {
      for (const char* request : {"ReadRaw", "SendImage"}) {
        const std::vector<Row> selected = Select(rows, "image", request, size, depth);
        if (selected.empty()) continue;
        const bool readRaw = std::string(request) == "ReadRaw";
        auto ms = [](Stat stat) {
          stat.median /= 1000, stat.low /= 1000, stat.high /= 1000;
          return stat;
        };
        const Stat roundTrip = StatOf(selected, "roundtrip"), decode = StatOf(selected, "decode");
        const Stat plugin = StatOf(selected, readRaw ? "export" : "import"), host = StatOf(selected, "host");
        const Stat copy = StatOf(selected, "memcpy"), push = StatOf(selected, "push");
        const Stat own = StatOfComputed(selected, [](const auto& v) { return Value(v, "roundtrip") - Value(v, "host"); });
        const Stat perCopy = StatOfComputed(
            selected, [](const auto& v) { return (Value(v, "roundtrip") - Value(v, "decode")) / Value(v, "memcpy"); });
        const Stat pushRatio = StatOfComputed(
            selected, [](const auto& v) { return Value(v, "push") / (Value(v, "roundtrip") - Value(v, "decode")); });
        const Stat ownPerCopy =
            StatOfComputed(selected, [](const auto& v) { return (Value(v, "roundtrip") - Value(v, "host")) / Value(v, "memcpy"); });
        table += Format("| %s | %s (%.1f MP) | %d | %s | %s | %s | %s | %s | %s | %s | %.2f | %.2f | %.3f |\n", request,
                        size.c_str(), megapixels, depth, Spread(ms(roundTrip)).c_str(),
                        readRaw ? Spread(ms(decode)).c_str() : "-", Spread(ms(plugin)).c_str(), Spread(ms(host)).c_str(),
                        Spread(ms(own)).c_str(), Spread(ms(copy)).c_str(), Spread(ms(push)).c_str(), perCopy.median,
                        pushRatio.median, ownPerCopy.median);
        for (const auto& metric : std::vector<std::pair<const char*, Stat>>{{"round_trip", roundTrip},
                                                                            {"decode", decode},
                                                                            {"plugin", plugin},
                                                                            {"in_host_calls", host},
                                                                            {"module_own", own},
                                                                            {"memcpy", copy},
                                                                            {"pipe_push", push}}) {
          addCsv("image", request, size, depth, metric.first, metric.second, "us");
        }
        addCsv("image", request, size, depth, "round_trip_less_decode_per_memcpy", perCopy, "ratio");
        addCsv("image", request, size, depth, "pipe_push_per_round_trip_less_decode", pushRatio, "ratio");
        addCsv("image", request, size, depth, "module_own_per_memcpy", ownPerCopy, "ratio");

        const double document = double(Pixels(size)) * 3 * (depth / 8);
        const Stat before = StatOf(selected, "private_before");
        const Stat growth = StatOfComputed(selected, [](const auto& v) { return Value(v, "private_peak") - Value(v, "private_before"); });
        const Stat left = StatOfComputed(selected, [](const auto& v) { return Value(v, "private_closed") - Value(v, "private_before"); });
        const Stat handlesBefore = StatOf(selected, "handles_before");
        const Stat handlesLeft = StatOfComputed(selected, [](const auto& v) { return Value(v, "handles_closed") - Value(v, "handles_before"); });
        const double mib = 1024.0 * 1024.0;
        memoryTable += Format("| %s | %s | %d | %.1f | %.1f | %.1f [%.1f-%.1f] | %.1f [%.1f-%.1f] | %.0f | %.0f [%.0f-%.0f] |\n", request,
                              size.c_str(), depth, document / mib, before.median / mib, growth.median / mib, growth.low / mib,
                              growth.high / mib, left.median / mib, left.low / mib, left.high / mib, handlesBefore.median,
                              handlesLeft.median, handlesLeft.low, handlesLeft.high);
        addCsv("memory", request, size, depth, "private_growth_during", growth, "bytes");
        addCsv("memory", request, size, depth, "private_left_after", left, "bytes");
        addCsv("memory", request, size, depth, "handles_left_after", handlesLeft, "handles");
        targets.push_back({Format("%s %s at %d bits: private bytes growth during <= document (%.1f MiB) + 1 MiB", request,
                                  size.c_str(), depth, document / mib),
                           Format("%.1f MiB", growth.high / mib), Format("<= %.1f MiB", document / mib + 1),
                           growth.high <= document + mib});
        targets.push_back({Format("%s %s at %d bits: nothing left after (private bytes, handles)", request, size.c_str(), depth),
                           Format("%.2f MiB, %.0f handles", left.high / mib, handlesLeft.high), "<= 0 (noise 1 MiB)",
                           left.high <= mib && handlesLeft.high <= 0});

        plotPoint(std::string(request) + " " + std::to_string(depth) + "-bit round trip", megapixels, roundTrip.median / 1000);
        if (readRaw) plotPoint(std::string("ReadRaw ") + std::to_string(depth) + "-bit less decode", megapixels,
                               (roundTrip.median - decode.median) / 1000);
        if (readRaw && depth == 16) {
          plotPoint("memcpy 16-bit", megapixels, copy.median / 1000);
          plotPoint("pipe push 16-bit", megapixels, push.median / 1000);
        }
        if (size == "6000x4000" && depth == 16) {
          targets.push_back({Format("%s 24 MP 16-bit: module's own time / one memcpy", request), Format("%.3f", ownPerCopy.median),
                             "<= 0.05", ownPerCopy.median <= 0.05});
          targets.push_back({Format("%s 24 MP 16-bit: (round trip%s) / one memcpy", request, readRaw ? " - decode" : ""),
                             Format("%.2f", perCopy.median), "<= 1.5", perCopy.median <= 1.5});
          targets.push_back({Format("%s 24 MP 16-bit: pipe push / (round trip%s)", request, readRaw ? " - decode" : ""),
                             Format("%.2f", pushRatio.median), ">= 3", pushRatio.median >= 3});
        }
      }
    }
  }
  markdown += "## Image requests\n\n" + table + "\n## Host process memory and handles\n\n" + memoryTable + "\n";
  console += "Image requests (times in milliseconds, median [min-max])\n" + table + "\nHost memory and handles\n" + memoryTable + "\n";

  const double logRatio = logCost.session10 / logCost.openWriteClose;
  const std::string logTable = Format(
      "| log entry written | cost per entry (us) |\n|---|---|\n| open, write, close per entry (before) | %.2f |\n"
      "| in an operation of 10 entries | %.2f |\n| in an operation of 1000 entries | %.2f |\n\n"
      "Log after the run: ZKVPlugin.log %.1f KiB, ZKVPlugin.old.log %.1f KiB\n",
      logCost.openWriteClose, logCost.session10, logCost.session1000, double(logBytes) / 1024, double(oldLogBytes) / 1024);
  targets.push_back({"Log cost per entry (operation of 10 entries) / open-write-close per entry", Format("%.3f", logRatio),
                     "<= 0.1", logRatio <= 0.1});
  csv += Format("log,entry,open_write_close,0,cost_per_entry,%.3f,%.3f,%.3f,us\n", logCost.openWriteClose,
                logCost.openWriteClose, logCost.openWriteClose);
  csv += Format("log,entry,session_10,0,cost_per_entry,%.3f,%.3f,%.3f,us\n", logCost.session10, logCost.session10, logCost.session10);
  csv += Format("log,entry,session_1000,0,cost_per_entry,%.3f,%.3f,%.3f,us\n", logCost.session1000, logCost.session1000,
                logCost.session1000);
  csv += Format("log,file,after_run,0,size,%lld,%lld,%lld,bytes\n", (long long)logBytes, (long long)logBytes, (long long)logBytes);
  markdown += "## The log\n\n" + logTable + "\n";
  console += "The log\n" + logTable + "\n";

  std::string targetTable = "| target | measured | limit | met |\n|---|---|---|---|\n";
  for (const Target& target : targets)
    targetTable += "| " + target.what + " | " + target.measured + " | " + target.limit + " | " + (target.met ? "yes" : "NO") + " |\n";
  markdown += "## Targets\n\n" + targetTable;
  console += "Targets\n" + targetTable;
  if (!failures.empty()) {
    console += "\nFailed measurements:\n";
    markdown += "\n## Failed measurements\n\n";
    for (const std::string& failure : failures) {
      console += "  " + failure + "\n";
      markdown += "- " + failure + "\n";
    }
  }

  std::vector<PlotSeries> series;
  std::string legend = "\nPlot: time (ms, vertical) against image size (megapixels, horizontal); lines:\n";
  for (const std::string& name : plotOrder) {
    series.push_back(plot[name]);
    legend += Format("  #%06X %s\n", plot[name].rgb, name.c_str());
  }
  const std::string plotPath = output + "\\bench-images.png";
  WritePlot(plotPath, series);
  markdown += legend;
  std::ofstream(output + "\\bench.csv", std::ios::binary) << csv;
  std::ofstream(output + "\\bench.md", std::ios::binary) << markdown;
  console += legend + "\nWritten: " + output + "\\bench.csv, " + output + "\\bench.md\nPlot: " + plotPath + "\n";
  std::fwrite(console.data(), 1, console.size(), stdout);
  std::fflush(stdout);
  return failures.empty() ? 0 : 8;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_host PLUGINS-FOLDER COMPANION-FOLDER OUTPUT-FOLDER [quick]\n");
    return 2;
  }
  std::wstring plugins, companion, output;
  for (const char* c = argv[1]; *c; ++c) plugins += wchar_t(*c);
  for (const char* c = argv[2]; *c; ++c) companion += wchar_t(*c);
  for (const char* c = argv[3]; *c; ++c) output += wchar_t(*c);
  const bool quick = argc > 4 && std::string(argv[4]) == "quick";
  CreateDirectoryW(output.c_str(), nullptr);
  const std::wstring work = output + L"\\work";
  CreateDirectoryW(work.c_str(), nullptr);
  const std::wstring resultsPath = work + L"\\results.txt";
  const std::wstring planPath = work + L"\\plan.txt";
  DeleteFileW(resultsPath.c_str());
  SetEnvironmentVariableW(L"ZK_BENCH_RESULTS", resultsPath.c_str());
  SetEnvironmentVariableW(L"ZK_BENCH_PLAN", planPath.c_str());

  // The module finds the benchmarking companion through the remembered folder.
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  std::string previous;
  DWORD previousType = 0, previousSize = 0;
  const bool hadPrevious = RegQueryValueExA(key, "Path", nullptr, &previousType, nullptr, &previousSize) == ERROR_SUCCESS;
  if (hadPrevious) {
    previous.resize(previousSize);
    RegQueryValueExA(key, "Path", nullptr, &previousType, reinterpret_cast<BYTE*>(&previous[0]), &previousSize);
  }
  const std::string companionBytes = Narrow(companion);
  RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(companionBytes.c_str()), DWORD(companionBytes.size() + 1));

  std::printf("Measuring the log's cost per entry...\n");
  std::fflush(stdout);
  const LogCost logCost = MeasureLogCost(work);

  // The module's own log, from nothing, so that its size after the run is this run's.
  char documentsFolder[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, documentsFolder, CSIDL_PERSONAL, FALSE);
  const std::string moduleLog = std::string(documentsFolder) + "\\ZKVPlugin.log";
  const std::string moduleOldLog = std::string(documentsFolder) + "\\ZKVPlugin.old.log";
  DeleteFileA(moduleLog.c_str());
  DeleteFileA(moduleOldLog.c_str());

  zk::StandInHost host;
  zk::DocumentModel documents;
  Documents = &documents;
  documents.AttachTo(host);
  zk::ImageEvents events(host, documents);
  host.Scan(plugins);
  const zk::PluginRecord* plugin = host.FindPlugin(kMenuName);
  std::string error;
  if (!plugin || !host.Load(*plugin, &error)) {
    std::fprintf(stderr, "bench_host: cannot load the module: %s\n", error.c_str());
    return 5;
  }
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZkBenchHost";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"ZkBenchHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  zk::ModalRobot robot({}, "leave");
  EchoServer echo;
  MarkServer marks(host, window);

  auto runPlan = [&](const std::string& plan) {
    std::ofstream(Narrow(planPath)) << plan;
    host.DoIt();
  };

  // Small requests with 1, 10, 100 and 1000 documents open.
  for (const int count : {1, 10, 100, 1000}) {
    std::printf("Small requests with %d documents open...\n", count);
    std::fflush(stdout);
    while (!documents.Documents().empty()) documents.Close(documents.Documents().front().id);
    for (int i = 0; i < count; ++i) {
      const std::string title = "Document " + std::to_string(i + 1) + ".psd";
      documents.Open(zk::HostDocument{title, "C:\\Photos\\" + title, 6000, 4000});
    }
    const int repetitions = quick ? 5 : count >= 1000 ? 7 : count >= 100 ? 15 : 31;
    std::string plan;
    for (const char* kind : {"Running", "CheckAllDocumentsSaved", "GetOpenDocuments"}) {
      plan += std::string("small ") + kind + " " + std::to_string(count) + " " + std::to_string(repetitions) + "\n";
    }
    runPlan(plan);
  }
  while (!documents.Documents().empty()) documents.Close(documents.Documents().front().id);

  // Images of about 1, 12, 24 and 50 megapixels, one size at a time.
  struct Size {
    int width, height;
  };
  std::vector<Size> sizes = {{1224, 816}, {4240, 2832}, {6000, 4000}, {8688, 5792}};
  if (quick) sizes = {{1224, 816}, {4240, 2832}};
  for (const Size& size : sizes) {
    std::printf("Images of %d x %d pixels...\n", size.width, size.height);
    std::fflush(stdout);
    const std::wstring file = work + L"\\raw-" + std::to_wstring(size.width) + L"x" + std::to_wstring(size.height) + L".png";
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
      zk::ImagePixels image;
      zk::GradientImage(size.width, size.height, 16, &image);
      if (!zk::WritePngFile(file, image, &error)) std::fprintf(stderr, "bench_host: %s\n", error.c_str());
    }
    const int repetitions = quick ? 3 : size.width * size.height > 20000000 ? 3 : 5;
    std::string plan;
    for (const int depth : {8, 16}) {
      plan += "readraw " + Narrow(file) + " " + std::to_string(size.width) + " " + std::to_string(size.height) + " " +
              std::to_string(depth) + " " + std::to_string(repetitions) + "\n";
      plan += "sendimage " + std::to_string(size.width) + " " + std::to_string(size.height) + " " + std::to_string(depth) +
              " " + std::to_string(repetitions) + "\n";
    }
    runPlan(plan);
  }
  host.Unload();

  if (hadPrevious) {
    RegSetValueExA(key, "Path", 0, previousType, reinterpret_cast<const BYTE*>(previous.data()), DWORD(previous.size()));
  } else {
    RegDeleteValueA(key, "Path");
  }
  RegCloseKey(key);

  WIN32_FILE_ATTRIBUTE_DATA data = {};
  int64_t logBytes = 0;
  if (GetFileAttributesExA(moduleLog.c_str(), GetFileExInfoStandard, &data)) logBytes += data.nFileSizeLow;
  int64_t oldLogBytes = 0;
  if (GetFileAttributesExA(moduleOldLog.c_str(), GetFileExInfoStandard, &data)) oldLogBytes += data.nFileSizeLow;

  std::vector<std::string> failures;
  const std::vector<Row> rows = ReadRows(resultsPath, &failures);
  return Report(rows, failures, logCost, logBytes, oldLogBytes, Narrow(output));
}
