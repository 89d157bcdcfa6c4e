#include "ModalRobot.h"

#include "DialogReader.h"

#include <chrono>
#include <stdexcept>

namespace zk {
namespace {

constexpr DWORD kPollMs = 10;

RobotReply ParseOrThrow(const std::string& text) {
  RobotReply reply;
  if (!ParseRobotReply(text, &reply)) throw std::invalid_argument("unknown answer for a modal window: " + text);
  return reply;
}

BOOL CALLBACK CollectCandidate(HWND window, LPARAM found) {
  if (IsOwnModalCandidate(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

}  // namespace

ModalRobot::ModalRobot(std::vector<std::string> answers, std::string whenExhausted)
    : whenExhausted_(ParseOrThrow(whenExhausted)) {
  for (const std::string& answer : answers) answers_.push_back(ParseOrThrow(answer));
  thread_ = std::thread([this] { Run(); });
}

ModalRobot::~ModalRobot() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  stopRequested_.notify_all();
  thread_.join();
}

void ModalRobot::SetPrinter(std::function<void(const SeenDialog&)> printer) {
  std::lock_guard<std::mutex> lock(mutex_);
  printer_ = std::move(printer);
}

void ModalRobot::SetEscalation(DWORD afterMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  escalateAfterMs_ = afterMs;
}

std::vector<SeenDialog> ModalRobot::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

bool ModalRobot::WaitForSeen(size_t count, DWORD timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return seenChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return seen_.size() >= count; });
}

void ModalRobot::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    lock.unlock();
    Poll();
    lock.lock();
    stopRequested_.wait_for(lock, std::chrono::milliseconds(kPollMs), [&] { return stop_; });
  }
}

void ModalRobot::Poll() {
  // A window handle may come back for a new dialog once the old one is gone: forget destroyed ones.
  for (size_t i = tracked_.size(); i-- > 0;) {
    if (!IsWindow(tracked_[i].window)) tracked_.erase(tracked_.begin() + i);
  }
  std::vector<HWND> candidates;
  EnumWindows(CollectCandidate, reinterpret_cast<LPARAM>(&candidates));
  // Top of the z-order first: a box opened by a dialog is answered before the dialog under it.
  for (HWND window : candidates) {
    bool known = false;
    for (Tracked& tracked : tracked_) {
      if (tracked.window != window) continue;
      known = true;
      Escalate(tracked);
    }
    if (!known) Answer(window);
  }
}

void ModalRobot::Answer(HWND window) {
  SeenDialog seen = ReadDialog(window);
  const RobotReply reply = nextAnswer_ < answers_.size() ? answers_[nextAnswer_++] : whenExhausted_;
  std::function<void(const SeenDialog&)> printer;
  {
    // The answer goes out and the dialog is recorded in one step: a caller whose dialog has closed
    // on this answer and then asks Seen() finds it listed (it used to be recorded only after the
    // answer, so a quick caller could miss the last dialog).
    std::lock_guard<std::mutex> lock(mutex_);
    seen.answer = DeliverRobotReply(seen, reply);
    seen_.push_back(seen);
    printer = printer_;
  }
  seenChanged_.notify_all();
  if (printer) printer(seen);
  tracked_.push_back({window, GetTickCount(), 0});
}

void ModalRobot::Escalate(Tracked& tracked) {
  DWORD afterMs = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    afterMs = escalateAfterMs_;
  }
  if (afterMs == 0 || !IsWindowVisible(tracked.window)) return;
  if (GetTickCount() - tracked.answeredAt < afterMs) return;
  static constexpr RobotAnswer kHarder[] = {RobotAnswer::Close, RobotAnswer::Escape, RobotAnswer::Cancel};
  if (tracked.escalations >= int(sizeof(kHarder) / sizeof(kHarder[0]))) return;
  SeenDialog seen = ReadDialog(tracked.window);
  seen.answer = "still open: " + DeliverRobotAnswer(seen, kHarder[tracked.escalations++]);
  tracked.answeredAt = GetTickCount();
  std::function<void(const SeenDialog&)> printer;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    printer = printer_;
  }
  if (printer) printer(seen);
}

}  // namespace zk
