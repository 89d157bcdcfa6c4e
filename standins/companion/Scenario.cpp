#include "Scenario.h"

#include "QuotedText.h"
#include "Utf8.h"

#include <optional>

namespace zk {

namespace {

struct Token {
  bool quoted = false;
  std::string word;    // unquoted tokens
  std::wstring text;   // quoted tokens
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits a line into words and quoted texts; a '#' where a token would start begins a comment.
bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
  size_t pos = 0;
  while (true) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] == '#') return true;
    Token token;
    if (line[pos] == '"') {
      token.quoted = true;
      if (!ReadQuotedText(line, pos, token.text, error)) return false;
      if (pos < line.size() && !IsBlank(line[pos])) {
        error = "a blank must follow the closing double quote";
        return false;
      }
    } else {
      const size_t start = pos;
      while (pos < line.size() && !IsBlank(line[pos])) {
        if (line[pos] == '"') {
          error = "a double quote inside a word";
          return false;
        }
        ++pos;
      }
      token.word = std::string(line.substr(start, pos - start));
    }
    tokens.push_back(std::move(token));
  }
}

std::optional<std::uint32_t> ParseDecimal(const std::string& word) {
  if (word.empty() || word.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::uint8_t> ParseHexByte(const std::string& word) {
  if (word.size() != 2) return std::nullopt;
  unsigned value = 0;
  for (char c : word) {
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<std::uint8_t>(value);
}

// Reads one line's statement into the scenario; returns an error reason or the empty text.
class LineParser {
 public:
  LineParser(Scenario& scenario, std::vector<Token> tokens, int line)
      : scenario_(scenario), tokens_(std::move(tokens)), line_(line) {}

  std::string Parse() {
    if (tokens_[0].quoted) return "a line must begin with a keyword, not with a text";
    const std::string& keyword = tokens_[0].word;
    Action action;
    action.line = line_;
    if (keyword == "request" || keyword == "send") {
      action.kind = keyword == "request" ? ActionKind::Request : ActionKind::Send;
      for (size_t i = 1; i < tokens_.size(); ++i) {
        if (!tokens_[i].quoted) return keyword + ": the fields must be texts in double quotes";
        if (tokens_[i].text.empty()) return keyword + ": a field cannot be empty (a count of 0 ends a message; use count 0)";
        action.fields.push_back(tokens_[i].text);
      }
    } else if (keyword == "text" || keyword == "field") {
      action.kind = keyword == "text" ? ActionKind::Text : ActionKind::Field;
      if (tokens_.size() != 2 || !tokens_[1].quoted) return keyword + " takes one text in double quotes";
      if (tokens_[1].text.empty()) return keyword + ": the text cannot be empty";
      action.fields.push_back(tokens_[1].text);
    } else if (keyword == "bytes") {
      action.kind = ActionKind::Bytes;
      if (tokens_.size() < 2) return "bytes needs at least one byte, written as two hexadecimal digits";
      for (size_t i = 1; i < tokens_.size(); ++i) {
        const auto byte = tokens_[i].quoted ? std::nullopt : ParseHexByte(tokens_[i].word);
        if (!byte) return "bytes: each byte is two hexadecimal digits, e.g. 0A";
        action.bytes.push_back(*byte);
      }
    } else if (keyword == "count" || keyword == "pause" || keyword == "stay" || keyword == "exit") {
      action.kind = keyword == "count" ? ActionKind::Count
                    : keyword == "pause" ? ActionKind::Pause
                    : keyword == "stay" ? ActionKind::Stay
                                        : ActionKind::Exit;
      const auto number = Number(1);
      if (!number) return keyword + " takes one decimal number from 0 to 4294967295";
      action.number = *number;
    } else if (keyword == "connect" || keyword == "read-reply" || keyword == "wait-reply" || keyword == "close" ||
               keyword == "stay-until-killed") {
      action.kind = keyword == "connect" ? ActionKind::Connect
                    : keyword == "read-reply" ? ActionKind::ReadReply
                    : keyword == "wait-reply" ? ActionKind::WaitReply
                    : keyword == "close" ? ActionKind::Close
                                         : ActionKind::StayUntilKilled;
      if (tokens_.size() != 1) return keyword + " takes nothing after it";
    } else if (keyword == "hang" || keyword == "kill-self") {
      action.kind = keyword == "hang" ? ActionKind::Hang : ActionKind::KillSelf;
      if (tokens_.size() != 1) return keyword + " takes nothing after it";
    } else if (keyword == "random") {
      action.kind = ActionKind::Random;
      const bool from = tokens_.size() == 5 && !tokens_[3].quoted && tokens_[3].word == "from";
      const auto seed = tokens_.size() >= 2 && !tokens_[1].quoted ? ParseDecimal(tokens_[1].word) : std::nullopt;
      const auto count = tokens_.size() >= 3 && !tokens_[2].quoted ? ParseDecimal(tokens_[2].word) : std::nullopt;
      const auto first = from && !tokens_[4].quoted ? ParseDecimal(tokens_[4].word) : std::optional<std::uint32_t>(0);
      if ((tokens_.size() != 3 && !from) || !seed || !count || !first) {
        return "random takes SEED COUNT or SEED COUNT from FIRST (decimal numbers)";
      }
      action.seed = *seed;
      action.number = *count;
      action.first = *first;
    } else if (IsImageKeyword(keyword)) {
      const std::string error = ParseImageStatement(keyword, action);
      if (!error.empty()) return error;
    } else {
      return ParseSetting(keyword);
    }
    scenario_.actions.push_back(std::move(action));
    return {};
  }

 private:
  static bool IsImageKeyword(const std::string& keyword) {
    for (const char* image : {"create-segment", "delete-segment", "fill-segment", "read-raw", "tone-map",
                              "summarize-segment", "compare-segment", "send-image"}) {
      if (keyword == image) return true;
    }
    return false;
  }

  // The statement's syntax, for the reasons of a refused line.
  static std::string Syntax(const std::string& keyword) {
    if (keyword == "create-segment") {
      return "create-segment takes \"NAME\" BYTES, \"NAME\" image \"FILE\" DEPTH or \"NAME\" image WIDTH HEIGHT DEPTH";
    }
    if (keyword == "delete-segment") return "delete-segment takes \"NAME\"";
    if (keyword == "fill-segment") {
      return "fill-segment takes \"NAME\" pattern WIDTH HEIGHT DEPTH, \"NAME\" text \"T\" or \"NAME\" bytes HH ...";
    }
    if (keyword == "read-raw") return "read-raw takes \"FILE\" \"SEGMENT\" BYTES DEPTH";
    if (keyword == "tone-map") return "tone-map takes \"FROM\" \"TO\" WIDTH HEIGHT DEPTH [srgb]";
    if (keyword == "summarize-segment") return "summarize-segment takes \"NAME\" WIDTH HEIGHT DEPTH";
    if (keyword == "compare-segment") return "compare-segment takes \"NAME\" \"FILE\" DEPTH";
    return "send-image takes \"SOURCE\" \"IMAGE\" WIDTH HEIGHT DEPTH \"METADATA\" LENGTH";
  }

  bool IsWord(size_t index, const char* word) const {
    return index < tokens_.size() && !tokens_[index].quoted && tokens_[index].word == word;
  }

  // A quoted, non-empty text (a file path); the problem goes to error.
  bool Path(size_t index, Action& action, std::string& error) const {
    if (index >= tokens_.size() || !tokens_[index].quoted) return false;
    if (tokens_[index].text.empty()) {
      error = "a file name cannot be empty";
      return false;
    }
    action.fields.push_back(tokens_[index].text);
    return true;
  }

  // Segment names go to the system as ANSI names (the plug-in opens them so): printable ASCII only.
  bool SegmentName(size_t index, Action& action, std::string& error) const {
    if (index >= tokens_.size() || !tokens_[index].quoted) return false;
    const std::wstring& name = tokens_[index].text;
    bool printable = !name.empty();
    for (wchar_t unit : name) printable = printable && unit >= 0x20 && unit <= 0x7E;
    if (!printable) {
      error = "a segment name is a non-empty text of printable ASCII characters";
      return false;
    }
    action.fields.push_back(name);
    return true;
  }

  bool Depth(size_t index, Action& action, std::string& error) const {
    if (index >= tokens_.size() || tokens_[index].quoted) return false;
    if (tokens_[index].word != "8" && tokens_[index].word != "16") {
      error = "the depth is 8 or 16 bits per channel";
      return false;
    }
    action.depth = tokens_[index].word == "8" ? 8 : 16;
    return true;
  }

  // A decimal number, or the one placeholder this place allows.
  bool QuantityAt(size_t index, Placeholder allowed, bool zeroAllowed, Action& action, std::string& error) const {
    if (index >= tokens_.size() || tokens_[index].quoted) return false;
    const std::string& word = tokens_[index].word;
    Quantity quantity;
    if (!word.empty() && word[0] == '$') {
      static const std::pair<const char*, Placeholder> names[] = {{"$width", Placeholder::Width},
                                                                  {"$height", Placeholder::Height},
                                                                  {"$size", Placeholder::SegmentSize},
                                                                  {"$length", Placeholder::FilledLength}};
      for (const auto& [name, placeholder] : names) {
        if (word == name) quantity.placeholder = placeholder;
      }
      if (quantity.placeholder == Placeholder::None || quantity.placeholder != allowed) {
        error = word + " cannot stand here";
        return false;
      }
    } else {
      const auto number = ParseDecimal(word);
      if (!number) return false;
      if (*number == 0 && !zeroAllowed) {
        error = "a size, width or height must be above 0";
        return false;
      }
      quantity.value = *number;
    }
    action.quantities.push_back(quantity);
    return true;
  }

  bool WidthHeight(size_t index, Action& action, std::string& error) const {
    return QuantityAt(index, Placeholder::Width, false, action, error) &&
           QuantityAt(index + 1, Placeholder::Height, false, action, error);
  }

  // Reads an image statement into action; returns an error reason or the empty text.
  std::string ParseImageStatement(const std::string& keyword, Action& action) const {
    std::string error;  // a specific reason; otherwise the statement's syntax
    bool ok = false;
    size_t expected = 0;  // the token count of the form that was recognised
    if (keyword == "create-segment") {
      if (IsWord(2, "image") && tokens_.size() > 3 && tokens_[3].quoted) {
        action.kind = ActionKind::CreateSegmentForFile;
        ok = SegmentName(1, action, error) && Path(3, action, error) && Depth(4, action, error);
        expected = 5;
      } else if (IsWord(2, "image")) {
        action.kind = ActionKind::CreateSegmentForImage;
        ok = SegmentName(1, action, error) && WidthHeight(3, action, error) && Depth(5, action, error);
        expected = 6;
      } else {
        action.kind = ActionKind::CreateSegment;
        ok = SegmentName(1, action, error) && QuantityAt(2, Placeholder::None, false, action, error);
        expected = 3;
      }
    } else if (keyword == "delete-segment") {
      action.kind = ActionKind::DeleteSegment;
      ok = SegmentName(1, action, error);
      expected = 2;
    } else if (keyword == "fill-segment") {
      if (IsWord(2, "pattern")) {
        action.kind = ActionKind::FillPattern;
        ok = SegmentName(1, action, error) && WidthHeight(3, action, error) && Depth(5, action, error);
        expected = 6;
      } else if (IsWord(2, "text")) {
        action.kind = ActionKind::FillBytes;
        action.bytesFromText = true;
        ok = SegmentName(1, action, error) && tokens_.size() > 3 && tokens_[3].quoted;
        if (ok) {
          action.fields.push_back(tokens_[3].text);
          const std::string utf8 = EncodeUtf8(tokens_[3].text);
          action.bytes.assign(utf8.begin(), utf8.end());
        }
        expected = 4;
      } else if (IsWord(2, "bytes")) {
        action.kind = ActionKind::FillBytes;
        ok = SegmentName(1, action, error) && tokens_.size() > 3;
        for (size_t i = 3; ok && i < tokens_.size(); ++i) {
          const auto byte = tokens_[i].quoted ? std::nullopt : ParseHexByte(tokens_[i].word);
          if (!byte) error = "fill-segment: each byte is two hexadecimal digits, e.g. 0A";
          ok = byte.has_value();
          if (ok) action.bytes.push_back(*byte);
        }
        expected = tokens_.size();
      }
    } else if (keyword == "read-raw") {
      action.kind = ActionKind::ReadRaw;
      ok = Path(1, action, error) && SegmentName(2, action, error) &&
           QuantityAt(3, Placeholder::SegmentSize, true, action, error) && Depth(4, action, error);
      expected = 5;
    } else if (keyword == "tone-map") {
      action.kind = ActionKind::ToneMap;
      ok = SegmentName(1, action, error) && SegmentName(2, action, error) && WidthHeight(3, action, error) &&
           Depth(5, action, error);
      if (ok && action.fields[0] == action.fields[1]) error = "tone-map needs two different segments";
      ok = ok && error.empty();
      action.srgb = IsWord(6, "srgb");
      expected = action.srgb ? 7 : 6;
    } else if (keyword == "summarize-segment") {
      action.kind = ActionKind::SummarizeSegment;
      ok = SegmentName(1, action, error) && WidthHeight(2, action, error) && Depth(4, action, error);
      expected = 5;
    } else if (keyword == "compare-segment") {
      action.kind = ActionKind::CompareSegment;
      ok = SegmentName(1, action, error) && Path(2, action, error) && Depth(3, action, error);
      expected = 4;
    } else if (keyword == "send-image") {
      action.kind = ActionKind::SendImage;
      ok = Path(1, action, error) && SegmentName(2, action, error) && WidthHeight(3, action, error) &&
           Depth(5, action, error) && SegmentName(6, action, error) &&
           QuantityAt(7, Placeholder::FilledLength, true, action, error);
      expected = 8;
    }
    if (ok && tokens_.size() != expected) ok = false;
    if (ok) return {};
    return error.empty() ? Syntax(keyword) : keyword + ": " + error;
  }

  std::optional<std::uint32_t> Number(size_t index) const {
    if (tokens_.size() != index + 1 || tokens_[index].quoted) return std::nullopt;
    return ParseDecimal(tokens_[index].word);
  }

  std::string ParseSetting(const std::string& keyword) {
    if (keyword == "window") {
      const std::string mode = tokens_.size() >= 2 && !tokens_[1].quoted ? tokens_[1].word : std::string();
      if (mode == "visible" && tokens_.size() == 2) {
        scenario_.window = WindowMode::Visible;
      } else if (mode == "hidden" && tokens_.size() == 2) {
        scenario_.window = WindowMode::Hidden;
      } else if (mode == "later" && Number(2)) {
        scenario_.window = WindowMode::Later;
        scenario_.windowDelayMs = *Number(2);
      } else {
        return "window takes visible, hidden or later MS";
      }
    } else if (keyword == "connect-timeout") {
      const auto number = Number(1);
      if (!number) return "connect-timeout takes one decimal number of milliseconds";
      scenario_.connectTimeoutMs = *number;
    } else if (keyword == "never-connect") {
      if (tokens_.size() == 1) {
        scenario_.neverConnectUntilKilled = true;
      } else if (const auto number = Number(1)) {
        scenario_.neverConnectMs = *number;
      } else {
        return "never-connect takes nothing or one decimal number of milliseconds";
      }
      scenario_.neverConnect = true;
    } else {
      return "unknown keyword '" + keyword + "'";
    }
    return {};
  }

  Scenario& scenario_;
  std::vector<Token> tokens_;
  int line_;
};

// Rules that concern more than one line. Returns the reason and sets errorLine, or the empty text.
std::string CheckOrder(const Scenario& scenario, int neverConnectLine, int& errorLine) {
  bool connected = false, connectSeen = false, closed = false, ended = false;
  for (const Action& action : scenario.actions) {
    errorLine = action.line;
    if (ended) return "nothing runs after exit, stay-until-killed, hang, kill-self or random";
    if (neverConnectLine != 0) return "never-connect (line " + std::to_string(neverConnectLine) + ") allows no actions";
    if (action.kind == ActionKind::Connect) {
      if (connectSeen) return "connect appears twice";
      if (connected) return "connect after a pipe action (the first pipe action connects)";
      connectSeen = connected = true;
    } else if (IsPipeAction(action.kind)) {
      if (closed) return "the pipe is already closed here (one connection per run)";
      connected = true;
      if (action.kind == ActionKind::Close) closed = true;
    }
    if (action.kind == ActionKind::Exit || action.kind == ActionKind::StayUntilKilled || action.kind == ActionKind::Hang ||
        action.kind == ActionKind::KillSelf || action.kind == ActionKind::Random) {
      ended = true;
    }
  }
  errorLine = 0;
  return {};
}

}  // namespace

bool IsPipeAction(ActionKind kind) {
  switch (kind) {
    case ActionKind::Connect:
    case ActionKind::Request:
    case ActionKind::Send:
    case ActionKind::ReadReply:
    case ActionKind::WaitReply:
    case ActionKind::Bytes:
    case ActionKind::Count:
    case ActionKind::Text:
    case ActionKind::Field:
    case ActionKind::Close:
    case ActionKind::ReadRaw:
    case ActionKind::SendImage:
    case ActionKind::Random:
      return true;
    default:
      return false;
  }
}

bool IsImageStatement(ActionKind kind) {
  switch (kind) {
    case ActionKind::CreateSegment:
    case ActionKind::CreateSegmentForFile:
    case ActionKind::CreateSegmentForImage:
    case ActionKind::DeleteSegment:
    case ActionKind::FillPattern:
    case ActionKind::FillBytes:
    case ActionKind::ToneMap:
    case ActionKind::SummarizeSegment:
    case ActionKind::CompareSegment:
      return true;
    default:
      return false;
  }
}

ScenarioParse ParseScenario(std::string_view text) {
  ScenarioParse result;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> seenSettings;
  int neverConnectLine = 0;
  int lineNumber = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::vector<Token> tokens;
    std::string error;
    if (!Tokenize(line, tokens, error)) {
      result.errorLine = lineNumber;
      result.error = error;
      return result;
    }
    if (tokens.empty()) continue;
    const std::string keyword = tokens[0].quoted ? std::string() : tokens[0].word;
    const size_t actionsBefore = result.scenario.actions.size();
    error = LineParser(result.scenario, std::move(tokens), lineNumber).Parse();
    if (error.empty() && result.scenario.actions.size() == actionsBefore) {
      // A setting: each may appear once, so a scenario never says two different things.
      for (const std::string& seen : seenSettings) {
        if (seen == keyword) error = keyword + " appears twice";
      }
      seenSettings.push_back(keyword);
      if (keyword == "never-connect") neverConnectLine = lineNumber;
    }
    if (!error.empty()) {
      result.errorLine = lineNumber;
      result.error = error;
      return result;
    }
  }
  result.error = CheckOrder(result.scenario, neverConnectLine, result.errorLine);
  result.ok = result.error.empty();
  return result;
}

Scenario DefaultScenario() {
  Scenario scenario;
  for (const wchar_t* command : {L"Running", L"GetOpenDocuments", L"CheckAllDocumentsSaved"}) {
    Action request;
    request.kind = ActionKind::Request;
    request.fields.push_back(command);
    scenario.actions.push_back(std::move(request));
  }
  Action close;
  close.kind = ActionKind::Close;
  scenario.actions.push_back(std::move(close));
  return scenario;
}

}  // namespace zk
