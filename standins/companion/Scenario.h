// What one run of the stand-in companion does: a few settings and a list of actions, read from a
// line-based scenario file (the language is described in README.md). The parser is a plain function
// over text, so it is tested without processes or pipes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zk {

enum class WindowMode { Visible, Hidden, Later };

enum class ActionKind {
  Connect,         // open the pipe now (pipe actions do it on their own when needed)
  Request,         // send fields as one message, then read the whole reply
  Send,            // send fields as one message
  ReadReply,       // read one whole reply
  WaitReply,       // wait until a whole reply has arrived, leaving it unread in the pipe
  Bytes,           // write raw bytes
  Count,           // write a 4-byte little-endian count
  Text,            // write the UTF-16LE units of a text, no count
  Field,           // write a count and a text in one piece
  Pause,           // wait, pipe untouched
  Stay,            // keep running with the window up
  StayUntilKilled, // keep running until the process is ended from outside
  Close,           // close the pipe now
  Exit,            // end the process now with a code (the system closes the pipe)
  Hang,            // stop reading and writing, pipe open, until the process is ended from outside
  KillSelf,        // end the process at once from inside, as if it were killed (no exit line)
  Random,          // random requests, each reply read and checked (RandomRequests.h)

  // Image transfer: named shared-memory segments that the session holds, and the two requests
  // that name them. Pixels never cross the pipe.
  CreateSegment,          // a segment of a number of bytes
  CreateSegmentForFile,   // a segment sized for an image file's pixels at a depth
  CreateSegmentForImage,  // a segment sized for width x height pixels at a depth
  DeleteSegment,          // close the segment (it ends when no other process holds it)
  FillPattern,            // the deterministic test image of width x height at a depth
  FillBytes,              // bytes (or the UTF-8 of a text) from the segment's start, e.g. metadata
  ReadRaw,                // send "ReadRaw" and keep the size of the reply
  ToneMap,                // 16-bit raw pixels of one segment into another segment at a depth (linear or sRGB)
  SummarizeSegment,       // write statistics and a checksum of a segment's image
  CompareSegment,         // compare a segment's image with an image file decoded at a depth
  SendImage,              // send "SendImage" with an image segment and a metadata segment
};

// A number in an image statement: written out, or taken from what the run has learnt so far.
enum class Placeholder {
  None,
  Width,         // $width: of the last ReadRaw reply
  Height,        // $height
  SegmentSize,   // $size: the bytes of the statement's segment
  FilledLength,  // $length: the bytes the last fill-segment wrote into the statement's metadata segment
};

struct Quantity {
  Placeholder placeholder = Placeholder::None;
  std::uint32_t value = 0;  // when placeholder is None
};

struct Action {
  ActionKind kind = ActionKind::Pause;
  int line = 0;                      // line of the scenario file, 0 for the built-in session
  std::vector<std::wstring> fields;  // Request, Send; Text and Field use fields[0]
  std::vector<std::uint8_t> bytes;   // Bytes
  std::uint32_t number = 0;          // Count value, Pause/Stay milliseconds, Exit code, Random count
  std::uint32_t seed = 0;            // Random: the seed
  std::uint64_t first = 0;           // Random: the number of the first request
  // Image statements: fields hold segment names and file paths in the order they are written,
  // quantities the numbers (sizes, width, height, lengths), depth the bits per channel.
  std::vector<Quantity> quantities;
  int depth = 0;
  bool bytesFromText = false;        // FillBytes written as a text (fields[1] keeps it for the transcript)
  bool srgb = false;                 // ToneMap: the source's samples are sRGB-encoded, not linear
};

struct Scenario {
  WindowMode window = WindowMode::Visible;
  std::uint32_t windowDelayMs = 0;         // WindowMode::Later
  std::uint32_t connectTimeoutMs = 20000;
  bool neverConnect = false;               // the pipe is never opened; see NeverConnectMs
  bool neverConnectUntilKilled = false;
  std::uint32_t neverConnectMs = 0;
  std::vector<Action> actions;
};

struct ScenarioParse {
  bool ok = false;
  Scenario scenario;
  int errorLine = 0;      // 1-based line of the first error, 0 when the error concerns the whole file
  std::string error;      // the reason, without file name and line
};

// text is the file's content as UTF-8 (a leading byte-order mark is skipped).
ScenarioParse ParseScenario(std::string_view text);

// Without a scenario file: "Running", "GetOpenDocuments", "CheckAllDocumentsSaved", each with its
// reply read, then the pipe is closed.
Scenario DefaultScenario();

// True for the actions that use the pipe.
bool IsPipeAction(ActionKind kind);

// True for the statements that work on shared segments without the pipe (run by ImageStatements).
bool IsImageStatement(ActionKind kind);

}  // namespace zk
