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

TEST(CompanionScenario, ReadsTheImageStatements) {
  const char* text = R"(create-segment "zk-meta" 4096
create-segment "Local\\zk raw" image "C:\\raw\\a.raw" 16
connect
fill-segment "zk-meta" text "<x>caf\u00e9</x>"
fill-segment "zk-meta" bytes 00 ff
read-raw "C:\\raw\\a.raw" "Local\\zk raw" $size 16
compare-segment "Local\\zk raw" "C:\\raw\\a.png" 16
create-segment "tone" image $width $height 8
tone-map "Local\\zk raw" "tone" $width $height 8 srgb
summarize-segment "tone" 640 480 8
send-image "C:\\raw\\a.raw" "tone" $width 480 8 "zk-meta" $length
close
fill-segment "pattern" pattern 4 3 16   # segments outlive the pipe
delete-segment "tone"
)";
  const zk::ScenarioParse parse = ParseScenario(text);
  ASSERT_TRUE(parse.ok) << "line " << parse.errorLine << ": " << parse.error;
  const std::vector<zk::Action>& a = parse.scenario.actions;
  const ActionKind kinds[] = {ActionKind::CreateSegment,        ActionKind::CreateSegmentForFile,
                              ActionKind::Connect,              ActionKind::FillBytes,
                              ActionKind::FillBytes,            ActionKind::ReadRaw,
                              ActionKind::CompareSegment,       ActionKind::CreateSegmentForImage,
                              ActionKind::ToneMap,              ActionKind::SummarizeSegment,
                              ActionKind::SendImage,            ActionKind::Close,
                              ActionKind::FillPattern,          ActionKind::DeleteSegment};
  ASSERT_EQ(a.size(), std::size(kinds));
  for (size_t i = 0; i < std::size(kinds); ++i) {
    EXPECT_EQ(a[i].kind, kinds[i]) << "action " << i;
    EXPECT_EQ(a[i].line, static_cast<int>(i) + 1) << "action " << i;
  }
  using zk::Placeholder;
  using Q = std::vector<std::pair<Placeholder, std::uint32_t>>;
  const auto quantities = [](const zk::Action& action) {
    Q out;
    for (const zk::Quantity& q : action.quantities) out.emplace_back(q.placeholder, q.value);
    return out;
  };
  EXPECT_EQ(a[0].fields, std::vector<std::wstring>{L"zk-meta"});
  EXPECT_EQ(quantities(a[0]), (Q{{Placeholder::None, 4096}}));
  EXPECT_EQ(a[1].fields, (std::vector<std::wstring>{L"Local\\zk raw", L"C:\\raw\\a.raw"}));
  EXPECT_EQ(a[1].depth, 16);
  // A text goes into the segment as UTF-8; the transcript shows it as written.
  EXPECT_TRUE(a[3].bytesFromText);
  EXPECT_EQ(a[3].fields, (std::vector<std::wstring>{L"zk-meta", L"<x>caf\x00E9</x>"}));
  EXPECT_EQ(a[3].bytes, (std::vector<std::uint8_t>{'<', 'x', '>', 'c', 'a', 'f', 0xC3, 0xA9, '<', '/', 'x', '>'}));
  EXPECT_FALSE(a[4].bytesFromText);
  EXPECT_EQ(a[4].bytes, (std::vector<std::uint8_t>{0x00, 0xFF}));
  EXPECT_EQ(a[5].fields, (std::vector<std::wstring>{L"C:\\raw\\a.raw", L"Local\\zk raw"}));
  EXPECT_EQ(quantities(a[5]), (Q{{Placeholder::SegmentSize, 0}}));
  EXPECT_EQ(a[6].fields, (std::vector<std::wstring>{L"Local\\zk raw", L"C:\\raw\\a.png"}));
  EXPECT_EQ(quantities(a[7]), (Q{{Placeholder::Width, 0}, {Placeholder::Height, 0}}));
  EXPECT_EQ(a[7].depth, 8);
  EXPECT_EQ(a[8].fields, (std::vector<std::wstring>{L"Local\\zk raw", L"tone"}));
  EXPECT_TRUE(a[8].srgb);
  EXPECT_EQ(quantities(a[9]), (Q{{Placeholder::None, 640}, {Placeholder::None, 480}}));
  EXPECT_EQ(a[10].fields, (std::vector<std::wstring>{L"C:\\raw\\a.raw", L"tone", L"zk-meta"}));
  EXPECT_EQ(quantities(a[10]),
            (Q{{Placeholder::Width, 0}, {Placeholder::None, 480}, {Placeholder::FilledLength, 0}}));
  EXPECT_EQ(a[10].depth, 8);
  EXPECT_EQ(quantities(a[12]), (Q{{Placeholder::None, 4}, {Placeholder::None, 3}}));
  EXPECT_EQ(a[12].depth, 16);
  EXPECT_EQ(a[13].fields, std::vector<std::wstring>{L"tone"});
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
      {"hang now", 1, "nothing after it"},
      {"hang\nclose", 2, "nothing runs after"},
      {"kill-self\npause 1", 2, "nothing runs after"},
      {"random 1 10\nrequest \"Running\"", 2, "nothing runs after"},
      {"random 1", 1, "random takes SEED COUNT"},
      {"random 1 10 after 5", 1, "random takes SEED COUNT"},
      {"random 1 10 from", 1, "random takes SEED COUNT"},
      {"random -1 10", 1, "random takes SEED COUNT"},
      {"pause 5\nnever-connect 100", 1, "never-connect (line 2)"},
      // Image statements.
      {"create-segment \"seg\"", 1, "create-segment takes \"NAME\" BYTES"},
      {"create-segment \"seg\" 0", 1, "must be above 0"},
      {"create-segment seg 100", 1, "create-segment takes"},
      {"create-segment \"\" 100", 1, "non-empty text of printable ASCII"},
      {"create-segment \"caf\u00E9\" 100", 1, "printable ASCII"},
      {"create-segment \"seg\" $size", 1, "$size cannot stand here"},
      {"create-segment \"seg\" image \"a.png\"", 1, "create-segment takes"},
      {"create-segment \"seg\" image \"a.png\" 12", 1, "8 or 16 bits"},
      {"create-segment \"seg\" image 4 3 16 extra", 1, "create-segment takes"},
      {"create-segment \"seg\" image $height $width 8", 1, "$height cannot stand here"},
      {"delete-segment", 1, "delete-segment takes \"NAME\""},
      {"fill-segment \"seg\" noise 4 3 8", 1, "fill-segment takes"},
      {"fill-segment \"seg\" pattern 4 0 8", 1, "above 0"},
      {"fill-segment \"seg\" bytes", 1, "fill-segment takes"},
      {"fill-segment \"seg\" bytes 0x01", 1, "two hexadecimal digits"},
      {"fill-segment \"seg\" text meta", 1, "fill-segment takes"},
      {"read-raw \"a.raw\" \"seg\" 0", 1, "read-raw takes \"FILE\" \"SEGMENT\" BYTES DEPTH"},
      {"read-raw \"\" \"seg\" 0 16", 1, "file name cannot be empty"},
      {"read-raw \"a.raw\" \"seg\" $length 16", 1, "$length cannot stand here"},
      {"read-raw \"a.raw\" \"seg\" -1 16", 1, "read-raw takes"},
      {"tone-map \"raw\" \"raw\" 4 3 8", 1, "two different segments"},
      {"tone-map \"raw\" \"out\" $width $height", 1, "tone-map takes"},
      {"tone-map \"raw\" \"out\" 4 3 8 gamma", 1, "tone-map takes"},
      {"summarize-segment \"out\" 4 3 24", 1, "8 or 16 bits"},
      {"compare-segment \"out\" 8", 1, "compare-segment takes"},
      {"send-image \"a.raw\" \"out\" 4 3 8 \"meta\"", 1, "send-image takes"},
      {"send-image \"a.raw\" \"out\" 4 3 8 \"meta\" $size", 1, "$size cannot stand here"},
      {"send-image \"a.raw\" \"out\" 4 3 8 \"meta\" $length\nclose\nread-raw \"a\" \"s\" 0 8", 3, "already closed"},
      {"never-connect\ncreate-segment \"seg\" 10", 2, "allows no actions"},
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

TEST(CompanionScenario, ReadsTheEndingsAndRandomRequests) {
  const zk::ScenarioParse hang = ParseScenario("request \"Running\"\nhang\n");
  ASSERT_TRUE(hang.ok) << hang.error;
  EXPECT_EQ(hang.scenario.actions.back().kind, ActionKind::Hang);
  const zk::ScenarioParse kill = ParseScenario("send \"Running\"\nkill-self\n");
  ASSERT_TRUE(kill.ok) << kill.error;
  EXPECT_EQ(kill.scenario.actions.back().kind, ActionKind::KillSelf);
  const zk::ScenarioParse random = ParseScenario("random 4294967295 10000 from 123\n");
  ASSERT_TRUE(random.ok) << random.error;
  ASSERT_EQ(random.scenario.actions.size(), 1u);
  EXPECT_EQ(random.scenario.actions[0].kind, ActionKind::Random);
  EXPECT_EQ(random.scenario.actions[0].seed, 4294967295u);
  EXPECT_EQ(random.scenario.actions[0].number, 10000u);
  EXPECT_EQ(random.scenario.actions[0].first, 123u);
  EXPECT_TRUE(zk::IsPipeAction(ActionKind::Random));
}

}  // namespace
