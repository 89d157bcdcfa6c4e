// What the bench host and the benchmarking companion share: the names of the marks and the figures
// the host takes at each mark, the echo pipe's messages, and the bridge's framing.
#pragma once

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "WindowsOwners.h"

namespace zkbench {

// The companion asks for a mark (before or after a request) by setting `command` and the mark
// event; the host takes its figures and answers with the marked event. Only an image request's
// marks sample the host's memory every millisecond in between (its peak is the figure); small
// requests are timed without a sampler running beside them.
constexpr wchar_t kFiguresName[] = L"Local\\zk-bench-figures";
constexpr wchar_t kMarkEvent[] = L"Local\\zk-bench-mark";
constexpr wchar_t kMarkedEvent[] = L"Local\\zk-bench-marked";
constexpr wchar_t kEchoPipe[] = L"\\\\.\\pipe\\zk-bench-echo";

enum MarkCommand : int32_t { kMarkBefore = 1, kMarkAfter = 2, kMarkBeforeSampling = 3, kMeasureSegments = 4 };

// A segment an image request names, as the module must take it: by its name, for the bytes the
// request gives. The export plug-in writes the view of a ReadRaw; the import only reads a SendImage's.
struct NamedSegment {
  char name[64] = {};
  uint64_t bytes = 0;
  int32_t written = 0;
  int32_t padding = 0;
};
constexpr int kMostSegments = 2;  // SendImage's image and metadata

struct Figures {
  int32_t command = 0;
  int32_t padding = 0;
  int64_t frequency = 0;          // ticks per second
  int64_t procedureTicks = 0;     // inside suite procedures, cumulative
  int64_t openTicks = 0;          // inside the raw converter ('Opn '), cumulative
  int64_t exportTicks = 0;        // inside the export plug-in ('Expr')
  int64_t importTicks = 0;        // inside the import plug-in ('Impr')
  int64_t privateBytes = 0;       // at the mark
  int64_t handles = 0;
  int64_t peakPrivateBytes = 0;   // after: the most seen since the mark before
  int64_t peakHandles = 0;
  int64_t madeBytes = 0;          // after: the pixels of the documents the request left open
  int64_t closedPrivateBytes = 0; // after: once those documents are closed
  int64_t closedHandles = 0;
  // After: the request's host calls as the host saw them (HostBookkeeping::CallSpan): how many,
  // when the first began and the last ended, and the module's time between them.
  int64_t hostCalls = 0;
  int64_t firstCallTicks = 0;
  int64_t lastCallEndTicks = 0;
  int64_t betweenCallsTicks = 0;
  // kMeasureSegments: the request's segments, and what taking them as the module must took on the
  // host's main thread (us), where the module maps them.
  int32_t segmentCount = 0;
  int32_t padding2 = 0;
  NamedSegment segments[kMostSegments];
  double segmentsMicros = 0;
};

// Echo pipe messages: a 4-byte tag, then
//   kEchoSetReply: 4-byte length and the reply bytes to answer echoes with;
//   kEchoRequest: one framed request (fields up to the count 0), answered with the stored reply;
//   kEchoPush: 8-byte length and that many bytes, answered with 4 zero bytes;
//   kEchoRequestViaLoop: as kEchoRequest, but the reader hands each request to a second thread's
//     message loop and waits until that thread says it is served, as the module's listener does.
enum EchoTag : uint32_t { kEchoSetReply = 1, kEchoRequest = 2, kEchoPush = 3, kEchoRequestViaLoop = 4 };

// The bridge's framing: each field a 4-byte little-endian byte count and UTF-16LE text; a count
// of 0 ends the message. The bench only sends ASCII.
inline std::string FrameMessage(const std::vector<std::string>& fields) {
  std::string bytes;
  auto count = [&bytes](uint32_t value) { bytes.append(reinterpret_cast<const char*>(&value), 4); };
  for (const std::string& field : fields) {
    count(uint32_t(field.size() * 2));
    for (const char c : field) {
      bytes += c;
      bytes += '\0';
    }
  }
  count(0);
  return bytes;
}

// The bench's paths and texts are ASCII.
inline std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += char(c);
  return out;
}

inline int64_t Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

inline int64_t Frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// Every page of a view, touched as a plug-in touches it through the module's view: undoing a view
// whose pages were touched costs more than undoing an untouched one.
inline void TouchPages(void* view, uint64_t bytes, bool write) {
  auto* pages = static_cast<volatile uint8_t*>(view);
  for (uint64_t at = 0; at < bytes; at += 4096) {
    if (write) {
      pages[at] = pages[at];
    } else {
      (void)pages[at];  // a volatile read: it happens
    }
  }
}

// What the design must do with each segment an image request names, on every request, since the
// module keeps nothing between requests: open it by name, map the request's bytes, unmap, close.
// The pages are touched between the map and the unmap, untimed. Microseconds; NaN when a segment
// cannot be taken.
inline double SegmentsMicros(const NamedSegment* segments, int count) {
  int64_t ticks = 0;
  for (int i = 0; i < count; ++i) {
    int64_t start = Ticks();
    UniqueHandle mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, segments[i].name));
    UniqueMappedView view;
    if (mapping) view.Reset(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, SIZE_T(segments[i].bytes)));
    ticks += Ticks() - start;
    if (!view) return NAN;
    TouchPages(view.Get(), segments[i].bytes, segments[i].written != 0);
    start = Ticks();
    view.Reset();
    mapping.Reset();
    ticks += Ticks() - start;
  }
  return double(ticks) * 1e6 / double(Frequency());
}

// Reads exactly size bytes from a byte-mode pipe; false when it breaks.
inline bool ReadExactly(HANDLE pipe, void* into, size_t size) {
  auto* bytes = static_cast<char*>(into);
  while (size > 0) {
    DWORD read = 0;
    const DWORD ask = DWORD(size > (1u << 24) ? (1u << 24) : size);
    if (!ReadFile(pipe, bytes, ask, &read, nullptr) || read == 0) return false;
    bytes += read;
    size -= read;
  }
  return true;
}

inline bool WriteAll(HANDLE pipe, const void* from, size_t size) {
  const auto* bytes = static_cast<const char*>(from);
  while (size > 0) {
    DWORD written = 0;
    const DWORD give = DWORD(size > (1u << 20) ? (1u << 20) : size);
    if (!WriteFile(pipe, bytes, give, &written, nullptr)) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

// Buffered reads from a byte-mode pipe: a framed message arrives in one or few reads, the way a
// reader that knows the framing takes it.
class PipeReader {
 public:
  explicit PipeReader(HANDLE pipe) : pipe_(pipe), buffer_(1 << 16) {}
  bool Read(void* into, size_t size) {
    auto* bytes = static_cast<char*>(into);
    while (size > 0) {
      if (begin_ == end_) {
        if (size >= buffer_.size()) return ReadExactly(pipe_, bytes, size);
        DWORD read = 0;
        if (!ReadFile(pipe_, buffer_.data(), DWORD(buffer_.size()), &read, nullptr) || read == 0) return false;
        begin_ = 0;
        end_ = read;
      }
      const size_t take = size < end_ - begin_ ? size : end_ - begin_;
      memcpy(bytes, buffer_.data() + begin_, take);
      begin_ += take;
      bytes += take;
      size -= take;
    }
    return true;
  }

 private:
  HANDLE pipe_;
  std::vector<char> buffer_;
  size_t begin_ = 0, end_ = 0;
};

// Reads one framed message; its raw bytes go to *raw (end marker included). False when it breaks.
inline bool ReadFramed(PipeReader& pipe, std::string* raw, std::vector<std::string>* fields = nullptr) {
  raw->clear();
  for (;;) {
    uint32_t count = 0;
    if (!pipe.Read(&count, 4)) return false;
    raw->append(reinterpret_cast<const char*>(&count), 4);
    if (count == 0) return true;
    if (count > (1u << 24)) return false;
    std::string text(count, '\0');
    if (!pipe.Read(&text[0], count)) return false;
    raw->append(text);
    if (fields) {
      std::string ascii;
      for (size_t i = 0; i + 1 < text.size(); i += 2) ascii += text[i];
      fields->push_back(ascii);
    }
  }
}

}  // namespace zkbench
