#include "BenchMarks.h"

#include <psapi.h>

#include <algorithm>
#include <vector>

#include "BenchShared.h"
#include "FourCCText.h"

using namespace zkbench;

namespace {

constexpr UINT kCloseMadeDocuments = WM_APP + 1;
constexpr UINT kLastDocumentId = WM_APP + 2;
constexpr UINT kTakeSegments = WM_APP + 3;
constexpr wchar_t kWindowClass[] = L"ZkBenchHost";

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

}  // namespace

MarkServer::MarkServer(zk::StandInHost& host, zk::DocumentModel& documents) : host_(host), documents_(documents) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);
  window_ = CreateWindowW(kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  mapping_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Figures), kFiguresName));
  view_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Figures)));
  mark_.Reset(CreateEventW(nullptr, FALSE, FALSE, kMarkEvent));
  marked_.Reset(CreateEventW(nullptr, FALSE, FALSE, kMarkedEvent));
  thread_ = std::thread([this] { Serve(); });
}

MarkServer::~MarkServer() {
  stop_ = true;
  SetEvent(mark_.Get());
  thread_.join();
  DestroyWindow(window_);
}

LRESULT CALLBACK MarkServer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MarkServer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && message == kLastDocumentId) {
    uint32_t last = 0;
    for (const zk::HostDocument& document : self->documents_.Documents()) last = std::max(last, document.id);
    return LRESULT(last);
  }
  if (self != nullptr && message == kTakeSegments) {
    // On the host's main thread, where the module takes them, between its other work.
    auto* figures = static_cast<Figures*>(self->view_.Get());
    const int count = figures->segmentCount < kMostSegments ? figures->segmentCount : kMostSegments;
    figures->segmentsMicros = SegmentsMicros(figures->segments, count);
    return 0;
  }
  if (self != nullptr && message == kCloseMadeDocuments) {
    std::vector<uint32_t> made;
    self->madeBytes_ = 0;
    for (const zk::HostDocument& document : self->documents_.Documents()) {
      if (document.id > self->lastIdBefore_) {
        made.push_back(document.id);
        self->madeBytes_ += int64_t(document.samples.size());
      }
    }
    for (uint32_t id : made) self->documents_.Close(id);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void MarkServer::Serve() {
  auto* figures = static_cast<Figures*>(view_.Get());
  bool sampling = false;
  Sample peak;
  for (;;) {
    const DWORD waited = WaitForSingleObject(mark_.Get(), sampling ? 1 : INFINITE);
    if (stop_) return;
    if (waited != WAIT_TIMEOUT && figures->command == kMeasureSegments) {
      SendMessageW(window_, kTakeSegments, 0, 0);
      SetEvent(marked_.Get());
      continue;
    }
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
    if (figures->command != kMarkAfter) {
      book.StartCallSpan();
      lastIdBefore_ = uint32_t(SendMessageW(window_, kLastDocumentId, 0, 0));
      peak = TakeSample();
      sampling = figures->command == kMarkBeforeSampling;
    } else {
      const zk::HostBookkeeping::CallSpan calls = book.CallsSinceStart();
      figures->hostCalls = calls.calls;
      figures->firstCallTicks = calls.firstEntered;
      figures->lastCallEndTicks = calls.lastLeft;
      figures->betweenCallsTicks = calls.betweenTicks;
      sampling = false;
      figures->peakPrivateBytes = std::max(peak.privateBytes, now.privateBytes);
      figures->peakHandles = std::max(peak.handles, now.handles);
      SendMessageW(window_, kCloseMadeDocuments, 0, 0);
      figures->madeBytes = madeBytes_;
      const Sample closed = TakeSample();
      figures->closedPrivateBytes = closed.privateBytes;
      figures->closedHandles = closed.handles;
    }
    SetEvent(marked_.Get());
  }
}
