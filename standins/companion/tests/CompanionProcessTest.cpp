// The stand-in companion as the plug-in meets it: a real process started with the plug-in's command
// line, talking to a real pipe server of the test.
#include "StartedCompanion.h"
#include "TestPipeServer.h"
#include "TranscriptFile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

using namespace zk::test;
using Bytes = std::vector<std::uint8_t>;

const wchar_t kWindowTitle[] = L"Zentrast Kolvane (stand-in)";
// A ceiling for a hang: every wait below ends on its event long before.
constexpr DWORD kWait = 30000;

// One companion for one case of a table: its own folder, pipe server and transcript.
struct CaseRun {
  TestFolder folder;
  std::wstring suffix = UniqueSuffix();
  TestPipeServer server{suffix};
  StartedCompanion companion;

  std::wstring TranscriptPath() const { return folder.Path() + L"transcript.txt"; }
  // Creates the pipe and starts the companion on the scenario (null: a scenario file that is missing).
  bool Start(const char* scenario) {
    const std::wstring path =
        scenario ? folder.WriteFile(L"scenario.txt", scenario) : folder.Path() + L"missing scenario.txt";
    return server.Create() && companion.Start(CompanionExePath(), suffix, path, TranscriptPath());
  }
  DWORD ExitCode() {
    DWORD code = 0xDEAD;
    EXPECT_TRUE(companion.WaitForExit(kWait, code)) << "the companion did not end";
    return code;
  }
};

// One companion in its own temp folder (path with a blank), its transcript and the test's pipe.
class CompanionTest : public testing::Test {
 protected:
  CompanionTest() : suffix_(UniqueSuffix()), server_(suffix_), transcript_(folder_.Path() + L"transcript.txt") {}

  void SetUp() override {
    // A copy in a folder with a blank, started by an unquoted path as the plug-in does.
    exe_ = folder_.Path() + L"ZentrastKolvane.exe";
    ASSERT_TRUE(CopyFileW(CompanionExePath().c_str(), exe_.c_str(), FALSE)) << "error " << GetLastError();
  }

  // scenario: the scenario file's text, or nullptr for the default session.
  void Start(const char* scenario) {
    const std::wstring path = scenario ? folder_.WriteFile(L"scenario.txt", scenario) : std::wstring();
    ASSERT_TRUE(companion_.Start(exe_, suffix_, path, transcript_)) << "error " << GetLastError();
  }

  void StartWithServer(const char* scenario) {
    ASSERT_TRUE(server_.Create());
    Start(scenario);
    ASSERT_TRUE(server_.WaitForClient(kWait));
  }

  DWORD ExitCode() {
    DWORD code = 0xDEAD;
    EXPECT_TRUE(companion_.WaitForExit(kWait, code)) << "the companion did not end";
    return code;
  }

  TranscriptFile Transcript() const { return TranscriptFile(transcript_); }

  // Waits until the running companion has written a line with this key.
  bool WaitForLine(const std::string& key) const {
    const ULONGLONG deadline = GetTickCount64() + kWait;
    while (!Transcript().Has(key)) {
      if (GetTickCount64() >= deadline) return false;
      Sleep(10);
    }
    return true;
  }

  TestFolder folder_;
  std::wstring suffix_;
  TestPipeServer server_;
  std::wstring transcript_;
  std::wstring exe_;
  StartedCompanion companion_;
};

TEST_F(CompanionTest, DefaultSessionSendsThreeRequestsAndClosesAfterTheLastReply) {
  StartWithServer(nullptr);

  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  EXPECT_EQ(message.bytes, Concat({Field(L"Running"), EndMarker()}));
  // The plug-in asks whether we have a visible window; it must exist by the time "Running" arrives.
  EXPECT_TRUE(HasVisibleWindow(companion_.ProcessId(), kWindowTitle));
  ASSERT_TRUE(server_.Write(EndMarker()));

  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  EXPECT_EQ(message.bytes, Concat({Field(L"GetOpenDocuments"), EndMarker()}));
  ASSERT_TRUE(server_.Write(Concat({Field(L"a.psd"), Field(L"C:\\img\\a.psd"), Field(L"640"), Field(L"480"),
                                    Field(L"8"), EndMarker()})));

  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  // The example of the wire format: 2C 00 00 00, the 44 bytes of the name, 00 00 00 00.
  ASSERT_EQ(message.bytes.size(), 4u + 44u + 4u);
  EXPECT_EQ(Bytes(message.bytes.begin(), message.bytes.begin() + 6), (Bytes{0x2C, 0, 0, 0, 0x43, 0}));
  EXPECT_EQ(message.fields, std::vector<std::wstring>{L"CheckAllDocumentsSaved"});
  ASSERT_TRUE(server_.Write(Concat({Field(L"true"), EndMarker()})));

  bool closed = false;
  EXPECT_TRUE(server_.ReadUntilClosed(kWait, closed).empty());
  EXPECT_TRUE(closed);
  EXPECT_EQ(ExitCode(), 0u);

  const TranscriptFile t = Transcript();
  ASSERT_EQ(t.Values("command-line").size(), 1u) << t.Text();
  EXPECT_NE(QuotedTexts(t.Values("command-line")[0]).at(0).find(L" -s  " + suffix_), std::wstring::npos);
  EXPECT_EQ(t.Values("pipe-suffix"), std::vector<std::string>{"\"" + std::string(suffix_.begin(), suffix_.end()) + "\""});
  EXPECT_EQ(t.Values("scenario"), std::vector<std::string>{"default"});
  EXPECT_EQ(t.Values("reply"),
            (std::vector<std::string>{"", "\"a.psd\" \"C:\\\\img\\\\a.psd\" \"640\" \"480\" \"8\"", "\"true\""}));
  EXPECT_EQ(HexToBytes(t.Values("reply-bytes").at(2)), Concat({Field(L"true"), EndMarker()}));
  EXPECT_EQ(t.Values("exit"), std::vector<std::string>{"0"});
}

TEST_F(CompanionTest, FieldsAreSentByteExactly) {
  // 512 units fill a 1024-byte field exactly, 513 go one unit over; U+00E9 by escape and as raw UTF-8,
  // a character above U+FFFF as its surrogate pair.
  const std::string scenario = "request \"ReadRaw\" \"C:\\\\raw\\\\caf\\u00E9 \xC3\xA9.nef\" \"" + std::string(512, 'x') +
                               "\" \"" + std::string(513, 'y') + "\" \"\xF0\x9F\x98\x80\"\n";
  StartWithServer(scenario.c_str());

  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  const Bytes expected = Concat({Field(L"ReadRaw"), Field(L"C:\\raw\\caf\x00E9 \x00E9.nef"),
                                 Field(std::wstring(512, L'x')), Field(std::wstring(513, L'y')),
                                 Field(L"\xD83D\xDE00"), EndMarker()});
  EXPECT_EQ(message.bytes, expected);
  const size_t at512 = Field(L"ReadRaw").size() + Field(L"C:\\raw\\caf\x00E9 \x00E9.nef").size();
  ASSERT_GT(message.bytes.size(), at512 + 1028 + 4);
  EXPECT_EQ(Bytes(message.bytes.begin() + at512, message.bytes.begin() + at512 + 4), (Bytes{0x00, 0x04, 0, 0}));
  EXPECT_EQ(Bytes(message.bytes.begin() + at512 + 1028, message.bytes.begin() + at512 + 1032), (Bytes{0x02, 0x04, 0, 0}));

  const Bytes reply = Concat({Field(L"OK"), Field(L"640"), Field(L"480"), EndMarker()});
  ASSERT_TRUE(server_.Write(reply));
  bool closed = false;
  server_.ReadUntilClosed(kWait, closed);
  EXPECT_EQ(ExitCode(), 0u);

  const TranscriptFile t = Transcript();
  EXPECT_EQ(t.Values("reply"), std::vector<std::string>{"\"OK\" \"640\" \"480\""}) << t.Text();
  EXPECT_EQ(t.Values("reply-bytes"), std::vector<std::string>{"04 00 00 00 4F 00 4B 00 06 00 00 00 36 00 34 00 30 00 "
                                                              "06 00 00 00 34 00 38 00 30 00 00 00 00 00"});
  ASSERT_EQ(t.Values("wrote").size(), 1u);
  EXPECT_EQ(HexToBytes(t.Values("wrote")[0]), expected);
  ASSERT_EQ(t.Values("request").size(), 1u);
  EXPECT_EQ(QuotedTexts(t.Values("request")[0]).at(1), L"C:\\raw\\caf\x00E9 \x00E9.nef");
}

TEST_F(CompanionTest, ReplyWrittenInPiecesIsReadWholeAndRecorded) {
  StartWithServer("request \"GetOpenDocuments\"\n");
  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));

  // Windows may hand a reader any part of what was written; each piece here is its own write.
  // An odd count keeps its last byte on the wire but not in the text; a lone surrogate stays visible.
  const Bytes reply = Concat({Field(L"caf\x00E9"), Bytes{3, 0, 0, 0, 'A', 0, 'B'}, Field(L"\xD800"), EndMarker()});
  const size_t cuts[] = {0, 2, 4, 7, 12, 16, 19, 23, 26, 28, reply.size() - 1, reply.size()};
  for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
    ASSERT_TRUE(server_.Write(Bytes(reply.begin() + cuts[i], reply.begin() + cuts[i + 1])));
    Sleep(40);
  }
  bool closed = false;
  server_.ReadUntilClosed(kWait, closed);
  EXPECT_EQ(ExitCode(), 0u);

  const TranscriptFile t = Transcript();
  EXPECT_EQ(t.Values("reply"), std::vector<std::string>{"\"caf\xC3\xA9\" \"A\" \"\\uD800\""}) << t.Text();
  ASSERT_EQ(t.Values("reply-bytes").size(), 1u);
  EXPECT_EQ(HexToBytes(t.Values("reply-bytes")[0]), reply);
}

TEST_F(CompanionTest, WaitReplyLeavesTheWholeReplyInThePipe) {
  StartWithServer("send \"GetOpenDocuments\"\nwait-reply\nread-reply\n");
  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  // Written in two pieces: half a reply is not yet one.
  const Bytes reply = Concat({Field(L"a.psd"), Field(L"C:\\a.psd"), Field(L"6"), Field(L"4"), Field(L"8"), EndMarker()});
  ASSERT_TRUE(server_.Write(Bytes(reply.begin(), reply.begin() + 10)));
  ASSERT_TRUE(server_.Write(Bytes(reply.begin() + 10, reply.end())));
  bool closed = false;
  server_.ReadUntilClosed(kWait, closed);
  EXPECT_EQ(ExitCode(), 0u);
  const TranscriptFile t = Transcript();
  EXPECT_EQ(t.Values("reply-waiting"), std::vector<std::string>{std::to_string(reply.size()) + " bytes"}) << t.Text();
  // The reply was left for the next read, which took all of it.
  ASSERT_EQ(t.Values("reply-bytes").size(), 1u);
  EXPECT_EQ(HexToBytes(t.Values("reply-bytes")[0]), reply);
}

struct ByteCase {
  const char* name;
  const char* scenario;
  Bytes expected;
};

TEST_F(CompanionTest, ByteLevelActionsWriteExactlyTheirBytes) {
  const ByteCase cases[] = {
      {"close inside a field", "count 8\ntext \"tr\"\nclose\n", Bytes{8, 0, 0, 0, 't', 0, 'r', 0}},
      {"close inside a count", "bytes 08 00\nclose\n", Bytes{8, 0}},
      {"an odd count", "count 3\nbytes 41 00 42\ncount 0\n", Bytes{3, 0, 0, 0, 0x41, 0, 0x42, 0, 0, 0, 0}},
      {"fields one by one, then a message without reading its reply",
       "field \"ReadRaw\"\nfield \"x\"\ncount 0\nsend \"A\" \"B\"\n",
       Concat({Field(L"ReadRaw"), Field(L"x"), EndMarker(), Field(L"A"), Field(L"B"), EndMarker()})},
      {"a request of no fields is the end marker alone", "send\n", EndMarker()},
      {"connect and close at once", "close\n", Bytes{}},
  };
  for (const ByteCase& c : cases) {
    SCOPED_TRACE(c.name);
    CaseRun run;
    ASSERT_TRUE(run.Start(c.scenario));
    ASSERT_TRUE(run.server.WaitForClient(kWait));
    bool closed = false;
    EXPECT_EQ(run.server.ReadUntilClosed(kWait, closed), c.expected);
    EXPECT_TRUE(closed);
    EXPECT_EQ(run.ExitCode(), 0u) << TranscriptFile(run.TranscriptPath()).Text();
  }
}

TEST_F(CompanionTest, CountInTwoPiecesArrivesAsTwoReads) {
  // The companion writes the second piece only once it has a reply: the first read cannot get both.
  StartWithServer("bytes 08 00\nread-reply\nbytes 00 00\ntext \"true\"\ncount 0\n");
  // A read of a whole count gets only the first piece: the plug-in's reader must loop.
  EXPECT_EQ(server_.ReadSome(4, kWait), (Bytes{8, 0}));
  ASSERT_TRUE(server_.Write(EndMarker()));
  Bytes rest;
  ASSERT_TRUE(server_.ReadExactly(2, rest, kWait));
  EXPECT_EQ(rest, (Bytes{0, 0}));
  bool closed = false;
  EXPECT_EQ(server_.ReadUntilClosed(kWait, closed), Concat({Bytes{'t', 0, 'r', 0, 'u', 0, 'e', 0}, EndMarker()}));
  EXPECT_TRUE(closed);
  EXPECT_EQ(ExitCode(), 0u);
  const TranscriptFile t = Transcript();
  EXPECT_EQ(t.Keys(), (std::vector<std::string>{"start", "command-line", "pipe-suffix", "scenario", "window",
                                                "connecting", "connected", "bytes", "wrote", "read-reply", "reply",
                                                "reply-bytes", "bytes", "wrote", "text", "wrote", "count", "wrote",
                                                "close", "exit"}))
      << t.Text();
}

struct RefusedCase {
  const char* scenario;  // nullptr: the file does not exist
  const char* reason;
};

TEST_F(CompanionTest, UnusableScenarioIsRefusedWithoutConnecting) {
  const RefusedCase cases[] = {
      {"request \"Running\"\n# fine so far\nrequest \"unterminated\n", "line 3: the text has no closing double quote"},
      {"window hidden\npause ten\n", "line 2: pause takes one decimal number"},
      {nullptr, "cannot be read: error 2 "},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.reason);
    CaseRun run;
    ASSERT_TRUE(run.Start(c.scenario));
    EXPECT_EQ(run.ExitCode(), 3u);
    EXPECT_FALSE(run.server.WaitForClient(0)) << "connected despite a refused scenario";

    const TranscriptFile t(run.TranscriptPath());
    ASSERT_EQ(t.Values("scenario-error").size(), 1u) << t.Text();
    const std::string error = t.Values("scenario-error")[0];
    EXPECT_NE(error.find("scenario.txt\""), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_FALSE(t.Has("connecting"));
    EXPECT_EQ(t.Values("exit"), std::vector<std::string>{"3"});
  }
}

TEST_F(CompanionTest, ConnectRetriesUntilThePipeExists) {
  Start("connect-timeout 60000\nrequest \"Running\"\n");
  // The plug-in creates its pipe only after it has started the companion: here the pipe comes once
  // the companion has tried and failed.
  ASSERT_TRUE(WaitForLine("connect-retrying"));
  ASSERT_TRUE(companion_.Running());
  ASSERT_TRUE(server_.Create());
  ASSERT_TRUE(server_.WaitForClient(kWait));
  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  EXPECT_EQ(message.fields, std::vector<std::wstring>{L"Running"});
  ASSERT_TRUE(server_.Write(EndMarker()));
  EXPECT_EQ(ExitCode(), 0u);

  const TranscriptFile t = Transcript();
  ASSERT_EQ(t.Values("connect-retrying").size(), 1u) << t.Text();
  EXPECT_NE(t.Values("connect-retrying")[0].find("error 2 "), std::string::npos) << "no such pipe yet";
  ASSERT_EQ(t.Values("connected").size(), 1u) << t.Text();
  unsigned ms = 0, attempts = 0;
  ASSERT_EQ(std::sscanf(t.Values("connected")[0].c_str(), "after %u ms, %u attempts", &ms, &attempts), 2);
  EXPECT_GT(attempts, 1u);
}

TEST_F(CompanionTest, ConnectGivesUpAfterTheConfiguredTime) {
  const ULONGLONG start = GetTickCount64();
  Start("connect-timeout 1200\nrequest \"Running\"\n");
  EXPECT_EQ(ExitCode(), 4u);
  EXPECT_GE(GetTickCount64() - start, 1200u);

  const TranscriptFile t = Transcript();
  ASSERT_EQ(t.Values("connect-failed").size(), 1u) << t.Text();
  EXPECT_NE(t.Values("connect-failed")[0].find("last error 2 "), std::string::npos) << t.Text();
  // By its own clock: the configured 1.2 s, not the default 20 s (a busy machine may add to it).
  unsigned ms = 0;
  ASSERT_EQ(std::sscanf(t.Values("connect-failed")[0].c_str(), "gave up after %u ms", &ms), 1);
  EXPECT_GE(ms, 1200u);
  EXPECT_LT(ms, 20000u);
  EXPECT_FALSE(t.Has("request"));
}

TEST_F(CompanionTest, PluginClosingThePipeBeforeReplyingEndsTheRun) {
  StartWithServer("request \"Running\"\nrequest \"never sent\"\n");
  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  server_.Close();
  EXPECT_EQ(ExitCode(), 6u);
  const TranscriptFile t = Transcript();
  EXPECT_EQ(t.Values("request").size(), 1u) << t.Text();
  EXPECT_EQ(t.Values("reply-incomplete"), std::vector<std::string>{""});
  ASSERT_EQ(t.Values("peer-closed").size(), 1u);
  EXPECT_NE(t.Values("peer-closed")[0].find("error 109 "), std::string::npos);
}

TEST_F(CompanionTest, RunEndsWithTheCodeAndAtTheTimeTheScenarioSays) {
  struct Case {
    const char* scenario;
    DWORD code;
    bool connects;
    DWORD atLeastMs;
  };
  const Case cases[] = {
      {"never-connect 600\n", 0, false, 600},
      {"pause 300\nexit 77\n", 77, true, 300},
      // The largest code must not be taken for "go on" inside the program.
      {"exit 4294967295\n", 4294967295u, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    CaseRun run;
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(run.Start(c.scenario));
    EXPECT_EQ(run.ExitCode(), c.code);
    EXPECT_GE(GetTickCount64() - start, c.atLeastMs);
    EXPECT_EQ(run.server.WaitForClient(0), c.connects);
    const TranscriptFile t(run.TranscriptPath());
    EXPECT_EQ(t.Values("exit"), std::vector<std::string>{std::to_string(static_cast<int>(c.code))}) << t.Text();
  }
}

TEST_F(CompanionTest, HiddenOrLateWindowIsNotVisibleWhenRunningArrives) {
  struct Case {
    const char* scenario;
    bool shownLater;
  };
  constexpr ULONGLONG kLaterMs = 1500;
  const Case cases[] = {{"window hidden\nrequest \"Running\"\nstay 1500\n", false},
                        {"window later 1500\nrequest \"Running\"\nstay 5000\n", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    CaseRun run;
    const ULONGLONG startedAfter = GetTickCount64();
    ASSERT_TRUE(run.Start(c.scenario));
    ASSERT_TRUE(run.server.WaitForClient(kWait));
    ReceivedMessage message;
    ASSERT_TRUE(run.server.ReadMessage(message, kWait));
    const bool visibleAtRunning = HasVisibleWindow(run.companion.ProcessId(), kWindowTitle);
    // The later window shows 1.5 s after the companion's start, which came after startedAfter: a
    // look that was over before then must not find it. (A slow machine may look later.)
    if (!c.shownLater || GetTickCount64() < startedAfter + kLaterMs) {
      EXPECT_FALSE(visibleAtRunning);
    }
    ASSERT_TRUE(run.server.Write(EndMarker()));
    // Looked at until it shows or the companion has ended (the hidden one after its stay).
    bool visible = false;
    const ULONGLONG deadline = GetTickCount64() + kWait;
    while (!visible && run.companion.Running() && GetTickCount64() < deadline) {
      visible = HasVisibleWindow(run.companion.ProcessId(), kWindowTitle);
      Sleep(20);
    }
    EXPECT_EQ(visible, c.shownLater);
    run.companion.Terminate(1234);
  }
}

TEST_F(CompanionTest, StayUntilKilledKeepsRunningAndTheTranscriptIsCompleteWhenEnded) {
  StartWithServer("request \"Running\"\nstay-until-killed\n");
  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  ASSERT_TRUE(server_.Write(EndMarker()));
  ASSERT_TRUE(WaitForLine("stay-until-killed"));
  DWORD code = 0;
  EXPECT_FALSE(companion_.WaitForExit(300, code)) << "it keeps running";
  // As the plug-in ends a companion after the user confirmed closing the status window.
  companion_.Terminate(1234);
  ASSERT_TRUE(companion_.WaitForExit(kWait, code));
  EXPECT_EQ(code, 1234u);
  const TranscriptFile t = Transcript();
  EXPECT_EQ(t.Values("reply"), std::vector<std::string>{""}) << t.Text();
  EXPECT_TRUE(t.Has("stay-until-killed"));
  EXPECT_FALSE(t.Has("exit"));
}

}  // namespace
