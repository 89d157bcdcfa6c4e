#include "Scenario.h"

#include <gtest/gtest.h>

namespace {

using zk::ActionKind;
using zk::ParseScenario;

TEST(CompanionScenario, ReadsEveryStatementInOrder) {
  const char* text =
      "# settings first\n"
      "window later 750\n"
      "connect-timeout 5000\n"
      "\n"
      "pause 100   # before connecting\n"
      "connect\n"
      "request \"ReadRaw\" \"C:\\\\raw\\\\a.nef\" \"seg1\" \"1000\" \"16\"\n"
      "request\n"
      "send \"A # not a comment\" \"B\"\n"
      "read-reply\n"
      "bytes 02 0a FF\n"
      "count 4294967295\n"
      "text \"tr\"\n"
      "field \"x\"\n"
      "stay 20\n"
      "close\n"
      "exit 1234\n";
  const zk::ScenarioParse parse = ParseScenario(text);
  ASSERT_TRUE(parse.ok) << "line " << parse.errorLine << ": " << parse.error;
  const zk::Scenario& s = parse.scenario;
  EXPECT_EQ(s.window, zk::WindowMode::Later);
  EXPECT_EQ(s.windowDelayMs, 750u);
  EXPECT_EQ(s.connectTimeoutMs, 5000u);
  EXPECT_FALSE(s.neverConnect);

  const ActionKind kinds[] = {ActionKind::Pause, ActionKind::Connect, ActionKind::Request, ActionKind::Request,
                              ActionKind::Send,  ActionKind::ReadReply, ActionKind::Bytes, ActionKind::Count,
                              ActionKind::Text,  ActionKind::Field,   ActionKind::Stay,    ActionKind::Close,
                              ActionKind::Exit};
  const int lines[] = {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
  ASSERT_EQ(s.actions.size(), std::size(kinds));
  for (size_t i = 0; i < std::size(kinds); ++i) {
    EXPECT_EQ(s.actions[i].kind, kinds[i]) << "action " << i;
    EXPECT_EQ(s.actions[i].line, lines[i]) << "action " << i;
  }
  EXPECT_EQ(s.actions[0].number, 100u);
  EXPECT_EQ(s.actions[2].fields, (std::vector<std::wstring>{L"ReadRaw", L"C:\\raw\\a.nef", L"seg1", L"1000", L"16"}));
  EXPECT_TRUE(s.actions[3].fields.empty());  // a request of no fields is the end marker alone
  EXPECT_EQ(s.actions[4].fields, (std::vector<std::wstring>{L"A # not a comment", L"B"}));
  EXPECT_EQ(s.actions[6].bytes, (std::vector<std::uint8_t>{0x02, 0x0A, 0xFF}));
  EXPECT_EQ(s.actions[7].number, 4294967295u);
  EXPECT_EQ(s.actions[8].fields, std::vector<std::wstring>{L"tr"});
  EXPECT_EQ(s.actions[9].fields, std::vector<std::wstring>{L"x"});
  EXPECT_EQ(s.actions[10].number, 20u);
  EXPECT_EQ(s.actions[12].number, 1234u);
}

TEST(CompanionScenario, TextsTakeEscapesAndRawUtf8) {
  const zk::ScenarioParse parse = ParseScenario(
      "\xEF\xBB\xBF"  // a byte-order mark some editors write
      "request \"q\\\"b\\\\n\\n\" \"\\u00e9\\u00E9\xC3\xA9\" \"\\uD800\" \"\xF0\x9F\x98\x80\"\r\n"
      "request \"last line without a line break\"");
  ASSERT_TRUE(parse.ok) << "line " << parse.errorLine << ": " << parse.error;
  ASSERT_EQ(parse.scenario.actions.size(), 2u);
  EXPECT_EQ(parse.scenario.actions[0].fields,
            (std::vector<std::wstring>{L"q\"b\\n\n", L"\x00E9\x00E9\x00E9", L"\xD800", L"\xD83D\xDE00"}));
  EXPECT_EQ(parse.scenario.actions[1].fields, std::vector<std::wstring>{L"last line without a line break"});
}

TEST(CompanionScenario, SettingsTakeTheirForms) {
  struct Case {
    const char* text;
    zk::WindowMode window;
    bool neverConnect;
    bool untilKilled;
    std::uint32_t neverConnectMs;
  };
  const Case cases[] = {
      {"", zk::WindowMode::Visible, false, false, 0},
      {"window hidden", zk::WindowMode::Hidden, false, false, 0},
      {"window visible", zk::WindowMode::Visible, false, false, 0},
      {"never-connect", zk::WindowMode::Visible, true, true, 0},
      {"window hidden\nnever-connect 40000", zk::WindowMode::Hidden, true, false, 40000},
  };
  for (const Case& c : cases) {
    const zk::ScenarioParse parse = ParseScenario(c.text);
    ASSERT_TRUE(parse.ok) << c.text << ": " << parse.error;
    EXPECT_EQ(parse.scenario.window, c.window) << c.text;
    EXPECT_EQ(parse.scenario.neverConnect, c.neverConnect) << c.text;
    EXPECT_EQ(parse.scenario.neverConnectUntilKilled, c.untilKilled) << c.text;
    EXPECT_EQ(parse.scenario.neverConnectMs, c.neverConnectMs) << c.text;
    EXPECT_EQ(parse.scenario.connectTimeoutMs, 20000u) << c.text;
  }
}

struct BadCase {
  const char* text;
  int line;
  const char* reason;  // a part of the reason
};

TEST(CompanionScenario, MalformedLinesAreRefusedWithLineAndReason) {
  const BadCase cases[] = {
      {"# comment\n\nrequst \"Running\"", 3, "unknown keyword 'requst'"},
      {"request \"Running", 1, "no closing double quote"},
      {"request Running", 1, "texts in double quotes"},
      {"request \"Running\"\"x\"", 1, "blank must follow"},
      {"request Run\"ning\"", 1, "double quote inside a word"},
      {"\"Running\"", 1, "must begin with a keyword"},
      {"request \"a\\qb\"", 1, "unknown escape \\q"},
      {"request \"\\u00E\"", 1, "four hexadecimal digits"},
      {"request \"ok\" \"\"", 1, "cannot be empty"},
      {"send \"\"", 1, "cannot be empty"},
      {"text \"\"", 1, "cannot be empty"},
      {"request \"\xC3\"", 1, "not valid UTF-8"},
      {"request \"\xED\xA0\x80\"", 1, "not valid UTF-8"},
      {"bytes", 1, "at least one byte"},
      {"bytes 0G", 1, "two hexadecimal digits"},
      {"bytes 123", 1, "two hexadecimal digits"},
      {"count -1", 1, "decimal number"},
      {"count 4294967296", 1, "decimal number"},
      {"count", 1, "decimal number"},
      {"pause 1 2", 1, "decimal number"},
      {"pause \"100\"", 1, "decimal number"},
      {"exit x", 1, "decimal number"},
      {"close now", 1, "nothing after it"},
      {"text \"a\" \"b\"", 1, "one text"},
      {"window sideways", 1, "visible, hidden or later"},
      {"window later", 1, "visible, hidden or later"},
      {"connect-timeout soon", 1, "milliseconds"},
      {"connect-timeout 10\nconnect-timeout 20", 2, "appears twice"},
      {"window hidden\n\nwindow visible", 3, "appears twice"},
      {"request \"A\"\nclose\nrequest \"B\"", 3, "already closed"},
      {"request \"A\"\nconnect", 2, "connect after a pipe action"},
      {"connect\nconnect", 2, "connect appears twice"},
      {"exit 3\npause 10", 2, "nothing runs after exit"},
      {"stay-until-killed\nclose", 2, "nothing runs after"},
      {"never-connect\nrequest \"Running\"", 2, "never-connect (line 1) allows no actions"},
      {"pause 5\nnever-connect 100", 1, "never-connect (line 2)"},
  };
  for (const BadCase& c : cases) {
    const zk::ScenarioParse parse = ParseScenario(c.text);
    EXPECT_FALSE(parse.ok) << c.text;
    EXPECT_EQ(parse.errorLine, c.line) << c.text;
    EXPECT_NE(parse.error.find(c.reason), std::string::npos) << c.text << "\n  gave: " << parse.error;
  }
}

TEST(CompanionScenario, DefaultSessionAsksThreeThingsAndCloses) {
  const zk::Scenario s = zk::DefaultScenario();
  EXPECT_EQ(s.window, zk::WindowMode::Visible);
  EXPECT_EQ(s.connectTimeoutMs, 20000u);
  ASSERT_EQ(s.actions.size(), 4u);
  const wchar_t* commands[] = {L"Running", L"GetOpenDocuments", L"CheckAllDocumentsSaved"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(s.actions[i].kind, ActionKind::Request);
    EXPECT_EQ(s.actions[i].fields, std::vector<std::wstring>{commands[i]});
  }
  EXPECT_EQ(s.actions[3].kind, ActionKind::Close);
}

}  // namespace
