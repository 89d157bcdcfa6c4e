#include "BenchReport.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <map>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  return buffer;
}

std::string Spread(const Stat& stat) { return Format("%.1f [%.1f-%.1f]", stat.median, stat.low, stat.high); }
std::string Spread3(const Stat& stat) { return Format("%.3f [%.3f-%.3f]", stat.median, stat.low, stat.high); }

// A target measures the module (met or missed) or only a stand-in (a figure to read, never the
// module's miss: a real host decodes and copies in its own way).
struct Target {
  std::string what;
  bool module;
  std::string measured, limit;
  bool met;
  // A ratio against its bound, and the time beyond the bound (us): how far a miss misses.
  double ratio = NAN, bound = NAN, excessMicros = NAN;
};

// A module target that is a ratio against a limit of the same run.
Target RatioTarget(const std::string& what, double ratio, double bound, double excessMicros) {
  return {what, true, Format("%.2f", ratio), Format("<= %.1f", bound), ratio <= bound, ratio, bound, excessMicros};
}

std::string Verdict(const Target& target) {
  if (!target.module) return "figure";
  if (target.measured.rfind("not measured", 0) == 0) return "n/a";
  return target.met ? "yes" : "NO";
}

// By how much a missed target misses: its ratio beyond the bound, in per cent of the bound, and
// the time beyond it.
std::string Miss(const Target& target) {
  if (!target.module || target.met || std::isnan(target.ratio)) return "";
  std::string miss = target.bound > 0 ? Format("by %.2f (%.0f %%)", target.ratio - target.bound,
                                               100 * (target.ratio / target.bound - 1))
                                      : Format("by %.0f", target.ratio - target.bound);
  if (!std::isnan(target.excessMicros)) miss += Format(", %.1f us", target.excessMicros);
  return miss;
}

class Csv {
 public:
  void Add(const std::string& group, const std::string& request, const std::string& size, int depth,
           const std::string& metric, const Stat& stat, const char* unit) {
    text_ += Format("%s,%s,%s,%d,%s,%.3f,%.3f,%.3f,%s\n", group.c_str(), request.c_str(), size.c_str(), depth,
                    metric.c_str(), stat.median, stat.low, stat.high, unit);
  }
  void Add(const std::string& group, const std::string& request, const std::string& size, int depth,
           const std::string& metric, double value, const char* unit) {
    Add(group, request, size, depth, metric, Stat{value, value, value}, unit);
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_ = "group,request,documents_or_size,depth,metric,median,min,max,unit\n";
};

// The module's own time of a repetition, from its parts as the companion and the host measured
// them: up to its first host call, between its host calls, after its last one. A request without
// host calls is the module's alone.
double Own(const std::map<std::string, double>& v) {
  if (Value(v, "hostcalls") == 0) return Value(v, "roundtrip");
  return Value(v, "ownbefore") + Value(v, "ownbetween") + Value(v, "ownafter");
}

// The parts add up to the round trip less the time inside host calls by construction, so that
// sum checks nothing. What can go wrong is where the calls fell: a host call that began before the
// request was written or ended after its reply was read (a timer of the module's, a call of the
// bench's own) is in the span but not the request's, and shows as a part below zero; an image
// request without host calls means the span was never taken and its own time would be the round
// trip. Either makes the row's own time untrustworthy.
std::string OwnPartsFault(const std::map<std::string, double>& v, bool makesHostCalls) {
  if (Value(v, "hostcalls") == 0) return makesHostCalls ? "no host calls were counted" : "";
  if (Value(v, "ownbefore") < 0) return Format("a host call began %.1f us before the request", -Value(v, "ownbefore"));
  if (Value(v, "ownafter") < 0) return Format("a host call ended %.1f us after the reply", -Value(v, "ownafter"));
  return "";
}

struct Sections {
  std::string text;  // Markdown, printed to the console as it is
  std::vector<Target> targets;
  Csv csv;
  std::vector<std::string> misplacedCalls;  // rows whose host calls do not lie within the round trip
};

void CheckOwnParts(const std::vector<Row>& selected, const std::string& what, bool makesHostCalls, Sections& out) {
  for (const Row& row : selected) {
    const std::string fault = OwnPartsFault(row.values, makesHostCalls);
    if (!fault.empty()) out.misplacedCalls.push_back(what + ": " + fault);
  }
}

void SmallRequests(const std::vector<Row>& rows, Sections& out) {
  std::string table =
      "| request | documents | round trip (us) | in host calls (us) | module's own (us) | bare echo (us) | "
      "echo via a message loop (us) | round trip / echo via loop |\n|---|---|---|---|---|---|---|---|\n";
  std::map<std::string, std::map<int, Stat>> ownTime, echoTime;
  for (const char* kind : {"Running", "CheckAllDocumentsSaved", "GetOpenDocuments"}) {
    for (const int count : {1, 10, 100, 1000}) {
      const std::vector<Row> selected = Select(rows, "small", kind, std::to_string(count), 0);
      if (selected.empty()) continue;
      const Stat roundTrip = StatOf(selected, "roundtrip"), host = StatOf(selected, "host");
      const Stat echo = StatOf(selected, "echo"), loopEcho = StatOf(selected, "loopecho");
      const Stat own = StatOfComputed(selected, Own);
      CheckOwnParts(selected, Format("%s with %d documents", kind, count), false, out);
      const Stat ratio = StatOfComputed(selected, [](const auto& v) { return Value(v, "roundtrip") / Value(v, "loopecho"); });
      ownTime[kind][count] = own;
      echoTime[kind][count] = echo;
      table += Format("| %s | %d | %s | %s | %s | %s | %s | %.2f [%.2f-%.2f] |\n", kind, count, Spread(roundTrip).c_str(),
                      Spread(host).c_str(), Spread(own).c_str(), Spread(echo).c_str(), Spread(loopEcho).c_str(),
                      ratio.median, ratio.low, ratio.high);
      const std::string size = std::to_string(count);
      out.csv.Add("small", kind, size, 0, "round_trip", roundTrip, "us");
      out.csv.Add("small", kind, size, 0, "in_host_calls", host, "us");
      out.csv.Add("small", kind, size, 0, "module_own", own, "us");
      out.csv.Add("small", kind, size, 0, "bare_echo", echo, "us");
      out.csv.Add("limit", kind, size, 0, "echo_via_message_loop", loopEcho, "us");
      out.csv.Add("small", kind, size, 0, "round_trip_per_loop_echo", ratio, "ratio");
      if (std::string(kind) == "Running") {
        const Stat excess =
            StatOfComputed(selected, [](const auto& v) { return Value(v, "roundtrip") - 1.3 * Value(v, "loopecho"); });
        out.targets.push_back(RatioTarget(
            Format("\"Running\" with %d documents: round trip / echo via a message loop", count), ratio.median, 1.3,
            excess.median));
      }
    }
  }
  out.text += "## Small requests\n\nThe echo via a message loop is the limit of the design: the same bytes over a "
              "pipe of the bench host's, each request handed by the reading thread to a second thread's message loop "
              "and back, as the listener hands requests to the host's main thread.\n\n" + table + "\n";

  for (const char* kind : {"CheckAllDocumentsSaved", "GetOpenDocuments"}) {
    if (!ownTime[kind].count(1) || !ownTime[kind].count(1000)) continue;
    const double perDocument = (ownTime[kind][1000].median - ownTime[kind][1].median) / 999.0;
    const double echo = echoTime[kind][1000].median;
    const double ratio = perDocument / echo;
    Target target = RatioTarget(
        Format("\"%s\": module's own time per open document / one bare echo (%.2f us / %.1f us)", kind, perDocument, echo),
        ratio, 0.1, perDocument - 0.1 * echo);
    target.measured = Format("%.3f", ratio);
    out.targets.push_back(target);
    out.csv.Add("small", kind, "per_document", 0, "module_own_per_document", perDocument, "us");
  }
}

void ImageRequests(const std::vector<Row>& rows, Sections& out) {
  std::string table =
      "| request | size | depth | round trip (ms) | decode, stand-in (ms) | export/import plug-in, stand-in (ms) | "
      "in host calls (ms) | module's own (ms) | echo via loop (ms) | own beyond the echo (ms) | segments, in the host "
      "(ms) | own beyond the echo / segments | memcpy (ms) | pipe push (ms) |\n"
      "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  std::string partsTable =
      "| request | size | depth | up to the first host call (ms) | between host calls (ms) | after the last host call "
      "(ms) | module's own (ms) | echo via loop (ms) | segments, in the host (ms) |\n"
      "|---|---|---|---|---|---|---|---|---|\n";
  std::string memoryTable =
      "| request | size | depth | document (MiB) | private before (MiB) | growth during (MiB) | left after (MiB) | "
      "handles before | handles left after |\n|---|---|---|---|---|---|---|---|---|\n";
  std::vector<std::string> sizes;
  for (const Row& row : rows) {
    if (row.kind == "image" && std::find(sizes.begin(), sizes.end(), row.size) == sizes.end()) sizes.push_back(row.size);
  }
  std::sort(sizes.begin(), sizes.end(), [](const std::string& a, const std::string& b) { return Pixels(a) < Pixels(b); });
  for (const std::string& size : sizes) {
    const double megapixels = double(Pixels(size)) / 1e6;
    for (const int depth : {8, 16}) {
      for (const char* request : {"ReadRaw", "SendImage"}) {
        const std::vector<Row> selected = Select(rows, "image", request, size, depth);
        if (selected.empty()) continue;
        const bool readRaw = std::string(request) == "ReadRaw";
        const Stat roundTrip = StatOf(selected, "roundtrip"), decode = StatOf(selected, "decode");
        const Stat plugin = StatOf(selected, readRaw ? "export" : "import"), host = StatOf(selected, "host");
        const Stat copy = StatOf(selected, "memcpy"), push = StatOf(selected, "push");
        const Stat loopEcho = StatOf(selected, "loopecho"), segments = StatOf(selected, "segments");
        const Stat own = StatOfComputed(selected, Own);
        CheckOwnParts(selected, Format("%s %s at %d bits", request, size.c_str(), depth), true, out);
        const Stat ownBefore = StatOf(selected, "ownbefore"), ownBetween = StatOf(selected, "ownbetween");
        const Stat ownAfter = StatOf(selected, "ownafter");
        const Stat beyond = StatOfComputed(selected, [](const auto& v) { return Own(v) - Value(v, "loopecho"); });
        const Stat beyondPerLimit =
            StatOfComputed(selected, [](const auto& v) { return (Own(v) - Value(v, "loopecho")) / Value(v, "segments"); });
        const Stat excess = StatOfComputed(
            selected, [](const auto& v) { return Own(v) - Value(v, "loopecho") - 1.5 * Value(v, "segments"); });
        const Stat lessDecodePerCopy = StatOfComputed(
            selected, [](const auto& v) { return (Value(v, "roundtrip") - Value(v, "decode")) / Value(v, "memcpy"); });
        const Stat pushRatio = StatOfComputed(
            selected, [](const auto& v) { return Value(v, "push") / (Value(v, "roundtrip") - Value(v, "decode")); });
        const double ms = 1e-3;
        table += Format("| %s | %s (%.1f MP) | %d | %s | %s | %s | %s | %s | %s | %s | %s | %.2f [%.2f-%.2f] | %s | %s |\n",
                        request, size.c_str(), megapixels, depth, Spread(roundTrip.Scaled(ms)).c_str(),
                        readRaw ? Spread(decode.Scaled(ms)).c_str() : "-", Spread(plugin.Scaled(ms)).c_str(),
                        Spread(host.Scaled(ms)).c_str(), Spread3(own.Scaled(ms)).c_str(),
                        Spread3(loopEcho.Scaled(ms)).c_str(), Spread3(beyond.Scaled(ms)).c_str(),
                        Spread3(segments.Scaled(ms)).c_str(), beyondPerLimit.median, beyondPerLimit.low, beyondPerLimit.high,
                        Spread(copy.Scaled(ms)).c_str(), Spread(push.Scaled(ms)).c_str());
        partsTable += Format("| %s | %s (%.1f MP) | %d | %s | %s | %s | %s | %s | %s |\n", request, size.c_str(),
                             megapixels, depth, Spread3(ownBefore.Scaled(ms)).c_str(),
                             Spread3(ownBetween.Scaled(ms)).c_str(), Spread3(ownAfter.Scaled(ms)).c_str(),
                             Spread3(own.Scaled(ms)).c_str(), Spread3(loopEcho.Scaled(ms)).c_str(),
                             Spread3(segments.Scaled(ms)).c_str());
        const std::vector<std::pair<const char*, Stat>> times = {
            {"round_trip", roundTrip},
            {"decode", decode},
            {"plugin", plugin},
            {"in_host_calls", host},
            {"module_own", own},
            {"module_own_before_first_host_call", ownBefore},
            {"module_own_between_host_calls", ownBetween},
            {"module_own_after_last_host_call", ownAfter},
            {"module_own_beyond_echo", beyond},
            {"memcpy", copy},
            {"pipe_push", push}};
        for (const auto& [metric, stat] : times) out.csv.Add("image", request, size, depth, metric, stat, "us");
        out.csv.Add("limit", request, size, depth, "echo_via_message_loop", loopEcho, "us");
        out.csv.Add("limit", request, size, depth, "segments_open_map_unmap_close", segments, "us");
        out.csv.Add("image", request, size, depth, "module_own_beyond_echo_per_segments", beyondPerLimit, "ratio");
        out.csv.Add("image", request, size, depth, "round_trip_less_decode_per_memcpy", lessDecodePerCopy, "ratio");
        out.csv.Add("image", request, size, depth, "pipe_push_per_round_trip_less_decode", pushRatio, "ratio");
        out.targets.push_back(RatioTarget(Format("%s %s at %d bits: module's own time beyond the echo via a loop / its "
                                                 "segments opened, mapped, unmapped and closed",
                                                 request, size.c_str(), depth),
                                          beyondPerLimit.median, 1.5, excess.median));
        out.targets.push_back({Format("%s %s at %d bits: (round trip%s) / one memcpy, the %s plug-in's copy included",
                                      request, size.c_str(), depth, readRaw ? " - decode" : "", readRaw ? "export" : "import"),
                               false, Format("%.2f", lessDecodePerCopy.median), "(1.5)", true});

        const double document = double(Pixels(size)) * 3 * (depth / 8);
        const Stat before = StatOf(selected, "private_before");
        const Stat growth =
            StatOfComputed(selected, [](const auto& v) { return Value(v, "private_peak") - Value(v, "private_before"); });
        const Stat left =
            StatOfComputed(selected, [](const auto& v) { return Value(v, "private_closed") - Value(v, "private_before"); });
        const Stat handlesBefore = StatOf(selected, "handles_before");
        const Stat handlesLeft =
            StatOfComputed(selected, [](const auto& v) { return Value(v, "handles_closed") - Value(v, "handles_before"); });
        memoryTable += Format("| %s | %s | %d | %.1f | %.1f | %.1f [%.1f-%.1f] | %.1f [%.1f-%.1f] | %.0f | %.0f [%.0f-%.0f] |\n",
                              request, size.c_str(), depth, document / kMiB, before.median / kMiB, growth.median / kMiB,
                              growth.low / kMiB, growth.high / kMiB, left.median / kMiB, left.low / kMiB, left.high / kMiB,
                              handlesBefore.median, handlesLeft.median, handlesLeft.low, handlesLeft.high);
        out.csv.Add("memory", request, size, depth, "private_growth_during", growth, "bytes");
        out.csv.Add("memory", request, size, depth, "private_left_after", left, "bytes");
        out.csv.Add("memory", request, size, depth, "handles_left_after", handlesLeft, "handles");
        out.targets.push_back({Format("%s %s at %d bits: host's private bytes growth during, the raw converter's decode "
                                      "buffers and the plug-ins' copies included (document %.1f MiB)",
                                      request, size.c_str(), depth, document / kMiB),
                               false, Format("%.1f MiB", growth.high / kMiB), Format("(%.1f MiB)", document / kMiB + 1),
                               true});
        // Wine's GetProcessHandleCount reports 0 handles: nothing to judge then, and the table says so.
        const std::string handlesLeftWhat =
            Format("%s %s at %d bits: handles left after, once the documents it made are closed", request, size.c_str(), depth);
        if (handlesBefore.high > 0) {
          out.targets.push_back({handlesLeftWhat, true, Format("%.0f", handlesLeft.high), "<= 0", handlesLeft.high <= 0});
        } else {
          out.targets.push_back({handlesLeftWhat, true, "not measured: the system reports no handle count", "<= 0", false});
        }
        out.targets.push_back({Format("%s %s at %d bits: private bytes left after, once the documents it made are closed",
                                      request, size.c_str(), depth),
                               false, Format("%.2f MiB", left.high / kMiB), "(1 MiB)", true});
      }
    }
  }
  out.text += "## Image requests\n\nThe module's own time is what the round trip holds outside the host's calls (the "
              "raw converter, the export and import plug-ins and every suite call are the host's), measured in three "
              "parts (next table), none of which holds a host call. Beyond the echo: less an echo of the same request "
              "via a message loop, the transport every request pays. Segments: each segment the request names opened "
              "by name, mapped for the request's bytes, unmapped and closed (OpenFileMapping, MapViewOfFile, "
              "UnmapViewOfFile, CloseHandle), the pages touched in between as the plug-in touches them: what a design "
              "that never touches pixels and keeps nothing between requests must do on every request. The bench host "
              "takes them on its main thread, where the module maps them.\n\n" + table +
              "\n## The module's own time in parts\n\nEach part an interval of its own on the system's clock, which "
              "the companion and the host read alike: from the request written to the module's first host call "
              "(the request's way in, opening its segments), the module's time between its host calls, summed by the "
              "host from each call's end to the next one's start, and from the end of its last host call to the reply "
              "read (letting go of the segments, the reply's way out). The host's own work, however long, is in none "
              "of them. The first two hold no work that grows with the image; the last grows as the segments' limit does: "
              "unmapping a view costs in proportion to the pages the plug-in touched through it.\n\n" +
              partsTable + "\n## Host process memory and handles\n\n" + memoryTable + "\n";
}

void Log(const LogCost& cost, const LogFileSizes& files, Sections& out) {
  const double ratio = cost.session10 / cost.openWritesClose10;
  out.text += Format(
      "## The log\n\nThe log is never held between requests, so a request of %d entries must at least open it, "
      "write %d times and close it: that, per entry, is the limit.\n\n"
      "| log entry written | cost per entry (us) |\n|---|---|\n"
      "| (open + %d WriteFile + close) / %d, opened as the log opens it (the limit) | %.2f |\n"
      "| one WriteFile to a file already open | %.2f |\n"
      "| open, write, close per entry (before the log held its file) | %.2f |\n"
      "| in a request of %d entries | %.2f |\n| in a request of 1000 entries | %.2f |\n\n"
      "Log after the run: ZKVPlugin.log %.1f KiB, ZKVPlugin.old.log %.1f KiB\n\n",
      kEntriesPerRequest, kEntriesPerRequest, kEntriesPerRequest, kEntriesPerRequest, cost.openWritesClose10,
      cost.writeFileOnly, cost.openWriteClose, kEntriesPerRequest, cost.session10, cost.session1000,
      double(files.log) / 1024, double(files.oldLog) / 1024);
  out.targets.push_back(RatioTarget(
      Format("Log entry in a request of %d entries / (open + %d WriteFile + close) / %d", kEntriesPerRequest,
             kEntriesPerRequest, kEntriesPerRequest),
      ratio, 1.5, cost.session10 - 1.5 * cost.openWritesClose10));
  out.csv.Add("limit", "entry", "open_writes_close_per_entry", kEntriesPerRequest, "cost_per_entry",
              cost.openWritesClose10, "us");
  out.csv.Add("log", "entry", "write_file_only", 0, "cost_per_entry", cost.writeFileOnly, "us");
  out.csv.Add("log", "entry", "open_write_close", 0, "cost_per_entry", cost.openWriteClose, "us");
  out.csv.Add("log", "entry", "session_10", 0, "cost_per_entry", cost.session10, "us");
  out.csv.Add("log", "entry", "session_1000", 0, "cost_per_entry", cost.session1000, "us");
  out.csv.Add("log", "file", "after_run", 0, "size", double(files.log), "bytes");
}

void Targets(const std::vector<std::string>& failures, Sections& out) {
  std::string table = "| target | measures | measured | limit | met | misses |\n|---|---|---|---|---|---|\n";
  int missed = 0;
  for (const Target& target : out.targets) {
    table += "| " + target.what + " | " + (target.module ? "module" : "stand-in") + " | " + target.measured + " | " +
             target.limit + " | " + Verdict(target) + " | " + Miss(target) + " |\n";
    if (Verdict(target) == "NO") ++missed;
  }
  out.text += "## Targets\n\nRows that measure the module are met or missed; a miss says by how much its ratio "
              "exceeds the bound (and in per cent of it) and the time beyond the bound, per request or per entry "
              "(medians). Rows that measure what only a stand-in does are figures: the limit in brackets is for "
              "reading, not for judging the module.\n\n" + table +
              Format("\n%d of the module's targets missed.\n", missed);
  if (!failures.empty()) {
    out.text += "\n## Failed measurements\n\n";
    for (const std::string& failure : failures) out.text += "- " + failure + "\n";
  }
  if (!out.misplacedCalls.empty()) {
    out.text += "\n## Host calls outside their request: the module's own time of these rows is not to be trusted\n\n";
    for (const std::string& misplaced : out.misplacedCalls) out.text += "- " + misplaced + "\n";
  }
}

}  // namespace

int Report(const std::vector<Row>& rows, const std::vector<std::string>& failures, const LogCost& logCost,
           const LogFileSizes& logFiles, const std::string& outputFolder) {
  Sections out;
  out.text = "# How fast the bridge is\n\nTimes: median [min-max] of the repetitions; ratios are medians of "
             "per-repetition ratios, each against a limit measured in the same run.\n\n";
  SmallRequests(rows, out);
  ImageRequests(rows, out);
  Log(logCost, logFiles, out);
  Targets(failures, out);
  std::ofstream(outputFolder + "\\bench.csv", std::ios::binary) << out.csv.Text();
  std::ofstream(outputFolder + "\\bench.md", std::ios::binary) << out.text;
  const std::string written = "\nWritten: " + outputFolder + "\\bench.csv, " + outputFolder + "\\bench.md\n";
  std::fwrite(out.text.data(), 1, out.text.size(), stdout);
  std::fwrite(written.data(), 1, written.size(), stdout);
  std::fflush(stdout);
  return failures.empty() && out.misplacedCalls.empty() ? 0 : 8;
}
