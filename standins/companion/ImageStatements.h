// The scenario statements about images: the named segments the run holds, what goes into them and
// what is checked in them, and the two image requests ("ReadRaw", "SendImage") up to and after the
// pipe. The session does the pipe work in between, so the requests are recorded like every other.
//
// A statement that cannot do its work writes "failed: line <n>: <reason>" and the scenario goes on
// (as after an "Error" reply to a plain request); the run then ends with kExitStatementFailed.
#pragma once

#include "ReplyReader.h"
#include "Scenario.h"
#include "SharedSegments.h"
#include "Transcript.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zk {

class ImageStatements {
 public:
  ImageStatements(Transcript& transcript, std::function<void(const std::wstring&)> status);

  // Carries out one statement for which IsImageStatement is true: writes the statement's line,
  // does its work and writes what came of it.
  void Run(const Action& action);

  // ReadRaw and SendImage: write the statement's line and return the request's fields, or nothing
  // when the request cannot be sent (the failure is written).
  std::optional<std::vector<std::wstring>> Request(const Action& action);
  // Checks the recorded reply to the request built above; ReadRaw keeps its width and height.
  void TakeReply(const Action& action, const Reply& reply);

  int Failures() const { return failures_; }

 private:
  struct ImageSize {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
  };

  void CreateSegment(const Action& action);
  void FillSegment(const Action& action);
  void ToneMap(const Action& action);
  void Summarize(const Action& action);
  void Compare(const Action& action);

  // Writes the failure and counts it; returns false for the caller's return.
  bool Fail(const Action& action, const std::string& reason);
  // The value of a number of the statement; segment is the one $size and $length refer to.
  std::optional<std::uint64_t> Resolve(const Action& action, const Quantity& quantity, const std::wstring& segment);
  // Width and height from quantities[first] and [first + 1].
  std::optional<ImageSize> ResolveSize(const Action& action, size_t first);
  // The held segment, large enough for the image; null after a written failure.
  SegmentView* SegmentFor(const Action& action, const std::wstring& name, const ImageSize& size, int depth);

  Transcript& transcript_;
  std::function<void(const std::wstring&)> status_;
  SharedSegments segments_;
  std::optional<ImageSize> readRawSize_;  // of the last ReadRaw, when it succeeded
  int failures_ = 0;
};

}  // namespace zk
