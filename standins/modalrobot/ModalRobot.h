// A helper thread that finds every modal window this process shows, records what it says and
// answers it, so that programs and tests that open dialogs never hang on them.
//
//   zk::ModalRobot robot({"escape"});            // answers the first dialog with Escape, later ones with Cancel
//   ShowSomethingModal();                        // on this thread; the robot works on its own
//   robot.WaitForSeen(1, 5000);
//   std::vector<zk::SeenDialog> seen = robot.Seen();
#pragma once

#include "RobotAnswer.h"
#include "SeenDialog.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zk {

class ModalRobot {
 public:
  // Each answer is one ParseRobotReply knows (a name, or "file=PATH"); answers are used one per new
  // dialog, in order, then whenExhausted for every later one. Throws std::invalid_argument for an
  // unknown one.
  explicit ModalRobot(std::vector<std::string> answers, std::string whenExhausted = "cancel");
  ~ModalRobot();  // stops the thread and waits for it
  ModalRobot(const ModalRobot&) = delete;
  ModalRobot& operator=(const ModalRobot&) = delete;

  // Called on the robot's thread for each new dialog right after it was answered (and for each
  // escalation): printers print it; with the answer "leave" a test may read the window and act itself.
  void SetPrinter(std::function<void(const SeenDialog&)> printer);

  // When a dialog is still up this long after the robot answered it (or left it alone), close it
  // harder: the close box, then Escape, then Cancel, one each interval. 0 (the default) never does.
  void SetEscalation(DWORD afterMs);

  std::vector<SeenDialog> Seen() const;
  // True when at least count dialogs have been seen within the timeout.
  bool WaitForSeen(size_t count, DWORD timeoutMs) const;

 private:
  struct Tracked {
    HWND window;
    DWORD answeredAt;
    int escalations;
  };

  void Run();
  void Poll();
  void Answer(HWND window);
  void Escalate(Tracked& tracked);

  std::vector<RobotReply> answers_;
  RobotReply whenExhausted_;
  size_t nextAnswer_ = 0;
  std::vector<Tracked> tracked_;  // robot thread only

  mutable std::mutex mutex_;
  mutable std::condition_variable seenChanged_;
  std::vector<SeenDialog> seen_;
  std::function<void(const SeenDialog&)> printer_;
  DWORD escalateAfterMs_ = 0;
  bool stop_ = false;
  std::condition_variable stopRequested_;
  std::thread thread_;
};

}  // namespace zk
