#include "Scenario.h"

#include "QuotedText.h"

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
    } else if (keyword == "connect" || keyword == "read-reply" || keyword == "close" || keyword == "stay-until-killed") {
      action.kind = keyword == "connect" ? ActionKind::Connect
                    : keyword == "read-reply" ? ActionKind::ReadReply
                    : keyword == "close" ? ActionKind::Close
                                         : ActionKind::StayUntilKilled;
      if (tokens_.size() != 1) return keyword + " takes nothing after it";
    } else {
      return ParseSetting(keyword);
    }
    scenario_.actions.push_back(std::move(action));
    return {};
  }

 private:
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
    if (ended) return "nothing runs after exit or stay-until-killed";
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
    if (action.kind == ActionKind::Exit || action.kind == ActionKind::StayUntilKilled) ended = true;
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
    case ActionKind::Bytes:
    case ActionKind::Count:
    case ActionKind::Text:
    case ActionKind::Field:
    case ActionKind::Close:
      return true;
    case ActionKind::Pause:
    case ActionKind::Stay:
    case ActionKind::StayUntilKilled:
    case ActionKind::Exit:
      return false;
  }
  return false;
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
