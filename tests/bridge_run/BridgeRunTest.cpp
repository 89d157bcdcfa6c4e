// Whole bridge runs under Wine: the module in the stand-in host, the stand-in companion started
// by the module, real pipes, real dialogs and message boxes answered by the robot.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "BridgeRunHarness.h"
#include "HostCodes.h"
#include "HostSuitesAll.h"
#include "ImageFiles.h"
#include "WindowsOwners.h"

namespace {

const std::wstring kStarting = L"Please wait while Zentrast Kolvane starts up...";
const std::wstring kRunning =
    L"Please use the Zentrast Kolvane window to work with the images.  This window will close automatically when "
    L"you have finished.";
const std::wstring kLost = L"Problem communicating with Zentrast | Connection to Zentrast was lost: ";
// How long the module waits for the companion to connect: a run shorter than this did not wait for it.
constexpr DWORD kConnectionWaitMs = 30000;
// A ceiling for a hang: waits for an event here end long before it.
constexpr DWORD kHangCeilingMs = 30000;

std::string ReplyTo(const std::string& unknown) {
  return "\"Error\" " + Quoted("Unknown command '" + unknown + "' received.");
}

class BridgeRun : public ::testing::Test {
 protected:
  BridgeRunHarness run;
};

TEST_F(BridgeRun, DefaultSessionIsAnsweredAndTheDialogClosesByItself) {
  const std::wstring folder = run.InstallRemembered();
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_TRUE(run.Messages().empty()) << "the companion closed the pipe: no message";
  // The status dialog closes by itself within milliseconds: the robot may never have seen it.
  EXPECT_EQ(run.Created(), std::vector<std::wstring>{L"Dialog"});
  EXPECT_EQ(run.Values("request"),
            (std::vector<std::string>{"\"Running\"", "\"GetOpenDocuments\"", "\"CheckAllDocumentsSaved\""}));
  ASSERT_EQ(run.Values("reply").size(), 3u);
  EXPECT_EQ(run.Values("reply")[0], "") << "Running is answered with the end marker alone";
  ASSERT_EQ(run.Values("reply-bytes").size(), 3u);
  EXPECT_EQ(run.Values("reply-bytes")[0], "00 00 00 00");
  EXPECT_EQ(run.Values("pipe-suffix"), std::vector<std::string>{Quoted("ZentrastKolvane" + std::to_string(GetCurrentProcessId()))});
  EXPECT_EQ(run.Values("exit"), std::vector<std::string>{"0"});

  // The line the companion was started with: the executable's full path, unquoted although it
  // holds a blank, one blank, "-s", two blanks, the suffix. Windows hands a child the line as it
  // was built; Wine quotes a first token with blanks in what the child reads, so either is right.
  const std::string executable = Utf8(folder) + "\\ZentrastKolvane.exe";
  const std::string rest = " -s  ZentrastKolvane" + std::to_string(GetCurrentProcessId());
  const std::vector<std::string> lines = run.Values("command-line");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0] == Quoted(executable + rest) || lines[0] == Quoted("\"" + executable + "\"" + rest)) << lines[0];
}

// Every text set on the status dialog's text control, read back as soon as it is set: a hook on
// the run's thread sees each setting, however briefly it stands, also one that sets the same text.
thread_local std::vector<std::wstring>* statusTexts = nullptr;

LRESULT CALLBACK RecordStatusText(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && statusTexts != nullptr && message->message == WM_SETTEXT &&
      GetDlgCtrlID(message->hwnd) == 100) {
    wchar_t caption[16] = {};
    GetWindowTextW(GetParent(message->hwnd), caption, 16);
    const std::wstring text = StatusText(GetParent(message->hwnd));
    if (std::wstring(caption) == L"Dialog") statusTexts->push_back(text);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The texts set on the status dialog's text control while it lives, in order (see RecordStatusText).
class StatusTexts {
 public:
  StatusTexts() : hook(SetWindowsHookExW(WH_CALLWNDPROCRET, RecordStatusText, nullptr, GetCurrentThreadId())) {
    statusTexts = &texts;
  }
  ~StatusTexts() {
    if (hook != nullptr) UnhookWindowsHookEx(hook);
    statusTexts = nullptr;
  }
  StatusTexts(const StatusTexts&) = delete;
  StatusTexts& operator=(const StatusTexts&) = delete;
  bool Hooked() const { return hook != nullptr; }
  const std::vector<std::wstring>& Set() const { return texts; }

 private:
  std::vector<std::wstring> texts;
  HHOOK hook;
};

// The companion repeats "Running" as a keep-alive: the text is set once, on the first, and never
// again (setting it anew repainted the control and measured the text on every one).
TEST_F(BridgeRun, TheTextChangesOnlyOnRunningAndIsSetOnce) {
  run.InstallRemembered();
  run.SetScenario("request \"CheckAllDocumentsSaved\"\nrequest \"Running\"\nrequest \"CheckAllDocumentsSaved\"\n"
                  "request \"Running\"\nrequest \"Running\"\nrequest \"GetOpenDocuments\"\nrequest \"Running\"\n");
  const StatusTexts texts;
  ASSERT_TRUE(texts.Hooked());
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_EQ(run.Values("reply").size(), 7u);
  EXPECT_EQ(texts.Set(), (std::vector<std::wstring>{kStarting, kRunning}));
}

// Each run's window begins with the starting text, also in a second "Do It" of the same loaded
// module after a run that never got as far as "Running". The module remembers the text it set last
// so as not to set it again; a memory that outlived its window made the next window skip the
// starting text as already shown, and keep its template's text, which tells the person to use the
// companion's window while the companion is still starting.
TEST(BridgeRunTexts, EachRunBeginsWithTheStartingTextAfterARunThatNeverReachedRunning) {
  const struct {
    const char* name;
    bool startable;        // false: what the module finds under the companion's name is no program
    std::string scenario;  // of the first run
    std::wstring messageBegins;
  } cases[] = {
      {"the companion could not be started", false, "", L"Zentrast Kolvane could not be started | "},
      {"the companion ended before it connected", true, "window hidden\nnever-connect 300\n",
       kLost + L"Unable to get connection from Zentrast"},
      {"the connection was lost inside the first request", true, "window hidden\nbytes 08 00\npause 200\nclose\n",
       kLost + L"Error reading from pipe: 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BridgeRunHarness run;  // both runs in one module, loaded afresh for the case
    if (c.startable) {
      run.InstallRemembered();
    } else {
      run.Install().SetPath(Utf8(run.Install().MakeFolder(L"Not A Program")) + '\0');  // an empty file
    }
    run.SetScenario(c.scenario);
    {
      const StatusTexts texts;
      ASSERT_TRUE(texts.Hooked());
      EXPECT_EQ(run.DoIt(), kSPNoError);
      EXPECT_EQ(texts.Set(), std::vector<std::wstring>{kStarting}) << "the first run";
    }
    ASSERT_EQ(run.Messages().size(), 1u);
    EXPECT_EQ(run.Messages()[0].substr(0, c.messageBegins.size()), c.messageBegins);

    run.InstallRemembered();
    run.SetScenario("window hidden\nrequest \"Running\"\n");
    const StatusTexts texts;
    EXPECT_EQ(run.DoIt(), kSPNoError);
    EXPECT_EQ(run.Values("reply"), std::vector<std::string>{""}) << "the second run was answered";
    EXPECT_EQ(texts.Set(), (std::vector<std::wstring>{kStarting, kRunning})) << "the second run";
  }
}

TEST_F(BridgeRun, CompanionThatNeverConnectsIsGivenUpAfterThirtySeconds) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nnever-connect\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kLost + L"Unable to get connection from Zentrast"});
  // The limit is the behaviour: the module's own wait, which began after "Do It" did (less a tick).
  EXPECT_GE(run.ElapsedMs(), kConnectionWaitMs - 1000);
  // Still running: the user decides about it, not the module.
  const UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, run.CompanionProcessId()));
  ASSERT_TRUE(process.Valid());
  TerminateProcess(process.Get(), 0);
}

TEST_F(BridgeRun, CompanionThatDiesBeforeConnectingEndsTheRunAtOnce) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nnever-connect 300\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kLost + L"Unable to get connection from Zentrast"});
  EXPECT_LT(run.ElapsedMs(), kConnectionWaitMs) << "the companion's end, not the connection wait, ended the run";
}

TEST_F(BridgeRun, APipeNameHeldByAnotherProgramIsNotShared) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nconnect-timeout 3000\nrequest \"Running\"\n");
  const std::wstring name = L"\\\\.\\pipe\\ZentrastKolvane" + std::to_wstring(GetCurrentProcessId());
  UniqueFile squatter(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(squatter.Valid());
  EXPECT_EQ(run.DoIt(), kSPNoError);
  squatter.Reset();  // the companion, connected to the squatter, now sees the pipe close
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kLost + L"Unable to get connection from Zentrast"});
  EXPECT_LT(run.ElapsedMs(), kConnectionWaitMs) << "refused at once, not after the connection wait";
}

TEST_F(BridgeRun, MessagesAreFramedByteForByte) {
  run.InstallRemembered();
  const std::string e512(512, 'e');
  run.SetScenario("request \"" + e512 + "\"\n" +                      // 1024 bytes: the fixed buffer
                  "request \"" + e512 + "f\"\n" +                     // 1026 bytes: a buffer of its own
                  "bytes 03 00 00 00 41 00 42\ncount 0\nread-reply\n"  // an odd count drops its last byte
                  "request \"\\u00e9\"\n"
                  "bytes 0E 00\npause 300\nbytes 00 00\ntext \"Running\"\ncount 0\nread-reply\n"  // a count in pieces
                  "request \"readraw\"\n"
                  "request \"Bogus\" \"with\" \"arguments\"\n"
                  "request\n"
                  "request \"ReadRaw\" \"C:\\\\a.nef\" \"segment\" \"1000\" \"16\"\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_TRUE(run.Messages().empty());
  const std::vector<std::string> replies = run.Values("reply");
  ASSERT_EQ(replies.size(), 9u);
  EXPECT_EQ(replies[0], ReplyTo(e512));
  EXPECT_EQ(replies[1], ReplyTo(e512 + "f"));
  EXPECT_EQ(replies[2], ReplyTo("A"));
  EXPECT_EQ(replies[3], ReplyTo("\xC3\xA9"));
  ASSERT_EQ(run.Values("reply-bytes").size(), 9u);
  EXPECT_NE(run.Values("reply-bytes")[3].find("27 00 E9 00 27 00"), std::string::npos) << "'é' as UTF-16LE";
  EXPECT_EQ(replies[4], "") << "Running";
  EXPECT_EQ(replies[5], ReplyTo("readraw"));
  EXPECT_EQ(replies[6], ReplyTo("Bogus"));
  EXPECT_EQ(replies[7], "\"Error\" \"Empty request received.\"");
  EXPECT_EQ(replies[8], "\"Error\" \"Invalid mapping name segment provided\"") << "no such segment";
}

TEST_F(BridgeRun, ClosesInsideAMessageEndTheRunWithTheReadError) {
  const struct {
    const char* name;
    std::string scenario;
    std::wstring message;
  } cases[] = {
      {"inside a count", "bytes 08 00\npause 200\nclose\n", kLost + L"Error reading from pipe: 1"},
      {"inside a field", "count 8\ntext \"tr\"\npause 200\nclose\n", kLost + L"Error reading from pipe: 2"},
      {"between two fields", "field \"Running\"\npause 200\nclose\n", L""},
  };
  run.InstallRemembered();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    run.SetScenario("window hidden\n" + c.scenario);
    EXPECT_EQ(run.DoIt(), kSPNoError);
    if (c.message.empty()) {
      EXPECT_TRUE(run.Messages().empty());
    } else {
      EXPECT_EQ(run.Messages(), std::vector<std::wstring>{c.message});
    }
  }
}

TEST_F(BridgeRun, FoundInTheDefaultFolderWithoutTouchingTheRegistry) {
  run.Install().InstallInDefaultFolder(run.CompanionProgram());
  run.SetScenario("window hidden\nrequest \"Running\"\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_TRUE(run.Messages().empty());
  EXPECT_EQ(run.Values("reply"), std::vector<std::string>{""});
  EXPECT_FALSE(run.Install().KeyExists());
}

// Types the path into the open-file dialog's name box and confirms it.
void PickFile(const zk::SeenDialog& dialog, const std::wstring& path) {
  SetDlgItemTextW(dialog.window, 0x47c /* cmb13 */, path.c_str());
  PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(BridgeRun, BrowsingFindsTheCompanionAndRemembersItsFolder) {
  run.Install().CreateKey();
  const std::wstring folder = run.Install().MakeFolder(L"E Z", run.CompanionProgram());
  run.SetScenario("window hidden\nrequest \"Running\"\n");
  run.OnWindow([&](const zk::SeenDialog& dialog) {
    if (dialog.caption == L"Please browse to the location where Zentrast Kolvane is installed") {
      PickFile(dialog, folder + L"\\ZentrastKolvane.exe");
    }
  });
  EXPECT_EQ(run.DoIt({"leave", "leave"}), kSPNoError);
  EXPECT_EQ(run.Values("reply"), std::vector<std::string>{""});
  std::string remembered;
  ASSERT_TRUE(run.Install().ReadPath(&remembered));
  EXPECT_EQ(remembered, Utf8(folder) + '\0');
}

TEST_F(BridgeRun, CancelledBrowseSaysTheCompanionWasNotFound) {
  EXPECT_EQ(run.DoIt({"cancel"}), kSPNoError);
  ASSERT_EQ(run.Seen().size(), 2u);
  EXPECT_EQ(run.Seen()[0].caption, L"Please browse to the location where Zentrast Kolvane is installed");
  ASSERT_FALSE(run.Messages().empty());
  EXPECT_EQ(run.Messages().back(), L"Zentrast Kolvane Not Found | Can't find Zentrast Kolvane on the system");
  EXPECT_NE(run.Seen()[1].owner, nullptr) << "owned by the status dialog";
}

TEST_F(BridgeRun, AFolderWithoutTheCompanionCannotBeStarted) {
  run.Install().CreateKey();
  const std::wstring folder = run.Install().Scratch() + L"\\other";
  CreateDirectoryW(folder.c_str(), nullptr);
  CopyFileW(run.CompanionProgram().c_str(), (folder + L"\\Other.exe").c_str(), FALSE);
  run.OnWindow([&](const zk::SeenDialog& dialog) {
    if (dialog.caption == L"Please browse to the location where Zentrast Kolvane is installed") {
      PickFile(dialog, folder + L"\\Other.exe");
    }
  });
  EXPECT_EQ(run.DoIt({"leave"}), kSPNoError);
  wchar_t system[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0x400,
                 system, 512, nullptr);
  ASSERT_EQ(run.Seen().size(), 2u);
  EXPECT_EQ(run.Seen()[1].caption, L"Zentrast Kolvane could not be started");
  ASSERT_FALSE(run.Seen()[1].texts.empty());
  EXPECT_EQ(run.Seen()[1].texts.back(), L"Can't start Zentrast Kolvane: " + std::wstring(system));
  EXPECT_EQ(run.Seen()[1].owner, nullptr);
  std::string remembered;
  ASSERT_TRUE(run.Install().ReadPath(&remembered));
  EXPECT_EQ(remembered, Utf8(folder) + '\0') << "remembered before it was tried";
}

// Waits until the condition holds. After the hang ceiling the test fails, naming what did not happen.
template <class Condition>
bool WaitUntil(Condition condition, const char* whatDidNotHappen) {
  const ULONGLONG deadline = GetTickCount64() + kHangCeilingMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) {
      ADD_FAILURE() << whatDidNotHappen << " within " << kHangCeilingMs / 1000 << " s";
      return false;
    }
    Sleep(10);
  }
  return true;
}

// Threads that act on a run while it goes on (the robot's own thread must go on answering windows
// meanwhile); joined before the test looks at what happened.
class Actors {
 public:
  ~Actors() { Join(); }
  void Start(std::function<void()> action) {
    const std::lock_guard<std::mutex> lock(mutex_);
    threads_.emplace_back(std::move(action));
  }
  void Join() {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<std::thread> threads_;
};

// The companion's process, as soon as its transcript names it.
HANDLE OpenCompanion(const BridgeRunHarness& run) {
  WaitUntil([&] { return run.CompanionProcessId() != 0; }, "the companion's transcript never named its process");
  return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                     run.CompanionProcessId());
}

// Once a close of the status dialog has been answered so that the companion must go: waits for its
// end. A module that leaves it running would leave the run up for ever; the test ends the companion
// itself, so that the run ends and the test reports.
void ExpectEndedBy(HANDLE companion, const char* what) {
  if (WaitForSingleObject(companion, kHangCeilingMs) == WAIT_OBJECT_0) return;
  ADD_FAILURE() << "the companion was not ended by " << what << " within " << kHangCeilingMs / 1000 << " s";
  TerminateProcess(companion, 1);
}

// Closes the status dialog with its close box once it shows the "running" text: the companion has
// connected and been answered.
void CloseWhenRunning(Actors& actors, const zk::SeenDialog& dialog, std::function<void()> then = nullptr) {
  actors.Start([window = dialog.window, then] {
    WaitUntil([&] { return StatusText(window) == kRunning; }, "the status text never changed to the running text");
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (then) then();
  });
}

// Once the cancelled question has gone, closes its owner, the status dialog, again.
void CloseAgainAfter(Actors& actors, const zk::SeenDialog& question) {
  actors.Start([question = question.window, owner = question.owner] {
    WaitUntil([&] { return !IsWindow(question); }, "the cancelled question never closed");
    PostMessageW(owner, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
}

DWORD ExitCodeOf(HANDLE process) {
  if (WaitForSingleObject(process, kHangCeilingMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the companion had not ended " << kHangCeilingMs / 1000 << " s after the run";
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process, &code);
  return code;
}

TEST_F(BridgeRun, ClosingAsksFirstWhenTheCompanionShowsAWindow) {
  run.InstallRemembered();
  run.SetScenario("request \"Running\"\nstay-until-killed\n");
  UniqueHandle companion;
  Actors actors;
  int closes = 0;
  run.OnWindow([&](const zk::SeenDialog& dialog) {
    if (dialog.caption == L"Dialog") {
      companion.Reset(OpenCompanion(run));
      CloseWhenRunning(actors, dialog);
    } else if (dialog.caption == L"Terminate Zentrast?" && ++closes == 1) {
      CloseAgainAfter(actors, dialog);  // cancelled: the run goes on; close again
    } else if (dialog.caption == L"Terminate Zentrast?") {
      actors.Start([&] { ExpectEndedBy(companion.Get(), "the confirmed close"); });
    }
  });
  EXPECT_EQ(run.DoIt({"leave", "cancel", "ok"}), kSPNoError);
  actors.Join();
  ASSERT_EQ(run.Messages().size(), 2u);
  EXPECT_EQ(run.Messages()[0],
            L"Terminate Zentrast? | Closing this window will terminate Zentrast Kolvane, and you will lose any unsaved "
            L"changes to the image you are working on.  Are you sure you want to do this?");
  ASSERT_TRUE(companion.Valid());
  EXPECT_EQ(ExitCodeOf(companion.Get()), 1234u);
}

TEST_F(BridgeRun, ClosingEndsAHiddenCompanionWithoutAsking) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nrequest \"Running\"\nstay-until-killed\n");
  UniqueHandle companion;
  Actors actors;
  run.OnWindow([&](const zk::SeenDialog& dialog) {
    if (dialog.caption != L"Dialog") return;
    companion.Reset(OpenCompanion(run));
    CloseWhenRunning(actors, dialog, [&] { ExpectEndedBy(companion.Get(), "closing the status dialog"); });
  });
  const size_t threadsBefore = ThreadCount();
  EXPECT_EQ(run.DoIt({"leave"}), kSPNoError);
  actors.Join();
  EXPECT_TRUE(run.Messages().empty());
  ASSERT_TRUE(companion.Valid());
  EXPECT_EQ(ExitCodeOf(companion.Get()), 1234u);
  // The run waits for its listener thread before "Do It" returns, and the robot's thread has been
  // joined; a thread the system still winds down is waited for.
  WaitUntil([&] { return ThreadCount() <= threadsBefore; }, "the threads the run started did not all end");
}

// The companion sends a request and goes away without reading the reply. The request is served
// only once the companion has ended (the host's answer waits for it), so the reply meets a pipe
// without a client: however small, it cannot be written, and the run ends saying the connection
// was lost rather than as a finished session.
TEST_F(BridgeRun, AReplyTheCompanionDidNotWaitForLosesTheConnection) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nsend \"GetOpenDocuments\"\nclose\n");
  const zk::GetResolver documents = run.Host().Resolver();
  bool waited = false, companionEnded = false;
  run.Host().SetGetResolver([&](const zk::ReferenceData& reference, zk::DescriptorData* result) {
    if (!waited && run.CompanionProcessId() != 0) {  // the request's own question, not one before the start
      waited = true;
      const UniqueHandle companion(OpenCompanion(run));
      companionEnded = companion.Valid() && WaitForSingleObject(companion.Get(), kHangCeilingMs) == WAIT_OBJECT_0;
    }
    return documents(reference, result);
  });
  EXPECT_EQ(run.DoIt(), kSPNoError);
  ASSERT_TRUE(companionEnded) << "the request was served while the companion still ran";
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kLost + L"Error communicating with Zentrast"});
  EXPECT_EQ(run.Values("exit"), std::vector<std::string>{"0"});
}

TEST_F(BridgeRun, AnUnknownNoticeEndsTheRunWithAnInternalError) {
  run.InstallRemembered();
  // The companion waits for a reply that never comes, so only the notice can end the run.
  run.SetScenario("window hidden\nrequest \"Running\"\nread-reply\n");
  UniqueHandle companion;
  run.OnWindow([&](const zk::SeenDialog& dialog) {
    if (dialog.caption != L"Dialog") return;
    companion.Reset(OpenCompanion(run));
    // Posted once the companion has connected, been answered and waits for its next reply: posted as
    // soon as the window showed, it ended a run whose companion had not connected yet, which then
    // gave up connecting (exit 4) instead of seeing the pipe close.
    WaitUntil([&] { return !run.Values("read-reply").empty(); }, "the companion never came to wait for its reply");
    PostMessageW(dialog.window, WM_APP + 0x65 /* the listener's notice */, 99, 0);
  });
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_EQ(run.Messages(),
            std::vector<std::wstring>{
                L"Problem communicating with Zentrast | Internal error: received unknown message type from listener"});
  // The end of the run closed the pipe: the companion, still waiting for its reply, is let go.
  ASSERT_TRUE(companion.Valid());
  ASSERT_EQ(WaitForSingleObject(companion.Get(), kHangCeilingMs), WAIT_OBJECT_0);
  EXPECT_EQ(ExitCodeOf(companion.Get()), 6u);
}

struct StatusColours {
  bool brushValid = false;
  COLORREF brushColour = 0, text = 0, background = 0;
};

// Asks the status dialog for its colours as the system does before it paints, with a DC of ours.
StatusColours AskColours(HWND dialog, UINT message) {
  const HDC context = CreateCompatibleDC(nullptr);
  SetTextColor(context, RGB(1, 2, 3));
  SetBkColor(context, RGB(4, 5, 6));
  const HWND control = message == WM_CTLCOLORSTATIC ? GetDlgItem(dialog, 100) : dialog;
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(dialog, message, reinterpret_cast<WPARAM>(context), reinterpret_cast<LPARAM>(control)));
  StatusColours colours;
  LOGBRUSH described{};
  colours.brushValid = brush != nullptr && GetObjectW(brush, sizeof described, &described) == sizeof described;
  colours.brushColour = described.lbColor;
  colours.text = GetTextColor(context);
  colours.background = GetBkColor(context);
  DeleteDC(context);
  return colours;
}

void ExpectStatusColours(HWND dialog) {
  const StatusColours whole = AskColours(dialog, WM_CTLCOLORDLG);
  EXPECT_TRUE(whole.brushValid);
  EXPECT_EQ(whole.brushColour, RGB(40, 40, 40));
  EXPECT_EQ(whole.text, RGB(1, 2, 3)) << "the dialog's own request sets no text colours";
  const StatusColours text = AskColours(dialog, WM_CTLCOLORSTATIC);
  EXPECT_TRUE(text.brushValid);
  EXPECT_EQ(text.brushColour, RGB(40, 40, 40));
  EXPECT_EQ(text.text, RGB(231, 231, 231));
  EXPECT_EQ(text.background, RGB(40, 40, 40));
}

// A close the user cancelled gives up the dialog's brush; the dialog stays, and the next time it
// is painted it must get a brush that exists, not the one just deleted.
TEST_F(BridgeRun, TheStatusColoursOutliveACancelledClose) {
  run.InstallRemembered();
  run.SetScenario("request \"Running\"\nstay-until-killed\n");
  UniqueHandle companion;
  Actors actors;
  int closes = 0;
  bool askedAfterTheCancel = false;
  run.OnWindow([&](const zk::SeenDialog& dialog) {
    if (dialog.caption == L"Dialog") {
      companion.Reset(OpenCompanion(run));
      ExpectStatusColours(dialog.window);
      CloseWhenRunning(actors, dialog);
    } else if (dialog.caption == L"Terminate Zentrast?" && ++closes == 1) {
      CloseAgainAfter(actors, dialog);
    } else if (dialog.caption == L"Terminate Zentrast?") {
      // The first close has ended (its brush is gone); the dialog answers while this one asks.
      ExpectStatusColours(dialog.owner);
      askedAfterTheCancel = true;
      PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      actors.Start([&] { ExpectEndedBy(companion.Get(), "the confirmed close"); });
    }
  });
  EXPECT_EQ(run.DoIt({"leave", "cancel", "leave"}), kSPNoError);
  actors.Join();
  EXPECT_TRUE(askedAfterTheCancel);
  ASSERT_TRUE(companion.Valid());
  EXPECT_EQ(ExitCodeOf(companion.Get()), 1234u);
}

TEST_F(BridgeRun, EscapeDoesNotCloseTheStatusDialog) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nrequest \"Running\"\nrequest \"GetOpenDocuments\"\nrequest \"Running\"\n");
  // The second request is served only once Escape has been sent to the status dialog: the dialog
  // takes it before the third request, which it must still serve.
  UniqueHandle escapeSent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  run.OnWindow([&](const zk::SeenDialog& dialog) {
    if (dialog.caption == L"Dialog") SetEvent(escapeSent.Get());
  });
  const zk::GetResolver documents = run.Host().Resolver();
  run.Host().SetGetResolver([&](const zk::ReferenceData& reference, zk::DescriptorData* result) {
    EXPECT_EQ(WaitForSingleObject(escapeSent.Get(), kHangCeilingMs), WAIT_OBJECT_0);
    return documents(reference, result);
  });
  EXPECT_EQ(run.DoIt({"escape"}), kSPNoError);
  ASSERT_EQ(run.Seen().size(), 1u);
  EXPECT_EQ(run.Seen()[0].answer, "escape");
  EXPECT_EQ(run.Values("reply").size(), 3u) << "the run went on to its end";
  EXPECT_TRUE(run.Messages().empty());
}

// A host that hands out its titles and paths in the ANSI code page: they reach the companion
// intact (each byte that is not UTF-8 used to become U+FFFD, and the path then named no file).
TEST_F(BridgeRun, NonAsciiTitlesAndPathsArriveIntactInEitherNarrowEncoding) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nrequest \"GetOpenDocuments\"\n");
  zk::HostDocument overview{"\xC3\x9C" "berblick.psd", "C:\\Fotos\\M\xC3\xBCller\\\xC3\x9C" "berblick.psd", 640, 480};
  run.Documents().Open(overview);
  for (const zk::NarrowTexts encoding : {zk::NarrowTexts::Utf8, zk::NarrowTexts::Ansi}) {
    SCOPED_TRACE(encoding == zk::NarrowTexts::Ansi ? "ANSI" : "UTF-8");
    run.Host().Answers().narrowTexts = encoding;
    EXPECT_EQ(run.DoIt(), kSPNoError);
    ASSERT_FALSE(run.Values("reply").empty());
    EXPECT_EQ(run.Values("reply").back(), "\"\xC3\x9C" "berblick.psd\" \"C:\\\\Fotos\\\\M\xC3\xBCller\\\\\xC3\x9C"
                                          "berblick.psd\" \"640\" \"480\" \"8\"");
  }
}

// A photo in a folder whose name is not plain ASCII, through a whole "ReadRaw" and "SendImage", in
// a host whose ANSI code page is 1252 (Wine's under C.UTF-8). The module used to write the path
// into the open's alias as UTF-8, which the host reads in the ANSI code page: "Jürgen" named
// "JÃ¼rgen", no file was found, and a raw document whose path was not ASCII was never closed.
// Through the alias suite every path crosses whole; without it, a path the code page cannot hold
// is refused before anything is played. A cancelled open (status 0, an empty result) exports
// nothing: the person's document active in its place is never sent.
TEST(BridgeRunPhotos, EveryFolderNameWithTheAliasSuiteAndWhatTheCodePageHoldsWithout) {
  const std::string cannotPass = "the path cannot be passed to the host (a character of it has no place in the "
                                 "host's 8-bit paths)";
  const std::string notOpened = "the raw file was not opened (the host did not make it the active document)";
  const struct {
    const char* name;
    std::wstring folder;  // below the scratch folder
    std::wstring file;
    bool aliasSuite;
    bool cancelledOpen;
    std::string failure;  // empty: "OK"
  } cases[] = {
      {"Fotos\\Jürgen, with the alias suite", L"Fotos\\J\u00fcrgen", L"IMG_0001.png", true, false, ""},
      {"Fotos\\Jürgen, without it", L"Fotos\\J\u00fcrgen", L"IMG_0001.png", false, false, ""},
      {"a folder named in Japanese, with the alias suite", L"Fotos\\\u5199\u771f", L"IMG_0001.png", true, false, ""},
      {"a folder named in Japanese, without it", L"Fotos\\\u5199\u771f", L"IMG_0001.png", false, false, cannotPass},
      {"a file name above U+FFFF, with the alias suite", L"Fotos", L"\U0001F305 16.png", true, false, ""},
      {"a cancelled open while the person's document is active", L"Fotos\\J\u00fcrgen", L"IMG_0001.png", true, true,
       notOpened},
  };
  constexpr int kWidth = 20, kHeight = 10;
  const std::string tag = std::to_string(GetCurrentProcessId());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BridgeRunHarness run;  // a module loaded afresh: it holds what suites it acquired until unload
    run.InstallRemembered();
    const std::wstring folder = run.Install().Scratch() + L"\\" + c.folder;
    std::filesystem::create_directories(std::filesystem::path(folder));
    const std::string photo = Utf8(folder + L"\\" + c.file);
    zk::ImagePixels picture{kWidth, kHeight, 16, std::vector<uint8_t>(kWidth * kHeight * 6)};
    for (size_t i = 0; i < picture.samples.size(); ++i) picture.samples[i] = uint8_t(i * 37);
    std::string error;
    ASSERT_TRUE(zk::WritePngFile(folder + L"\\" + c.file, picture, &error)) << error;
    if (!c.aliasSuite) run.Host().Book().RefuseSuite(kPSAliasSuite);
    run.Host().Answers().cancelEveryRawOpen = c.cancelledOpen;
    const uint32_t mine = run.Documents().Open(zk::HostDocument{"mine.psd", "C:\\Fotos\\mine.psd", 30, 30});

    // The send-image names its sizes: it is sent whatever the read-raw was answered.
    const std::string raw = "zk-photo-raw-" + tag, image = "zk-photo-image-" + tag, meta = "zk-photo-meta-" + tag;
    const std::string sizes = " " + std::to_string(kWidth) + " " + std::to_string(kHeight) + " 8";
    run.SetScenario("window hidden\n"
                    "create-segment " + Quoted(raw) + " image " + Quoted(photo) + " 16\n"
                    "read-raw " + Quoted(photo) + " " + Quoted(raw) + " $size 16\n" +
                    (c.failure.empty() ? "compare-segment " + Quoted(raw) + " " + Quoted(photo) + " 16\n" : "") +
                    "create-segment " + Quoted(image) + " image" + sizes + "\n"
                    "fill-segment " + Quoted(image) + " pattern" + sizes + "\n"
                    "create-segment " + Quoted(meta) + " 16\n"
                    "send-image " + Quoted(photo) + " " + Quoted(image) + sizes + " " + Quoted(meta) + " 0\n");
    EXPECT_EQ(run.DoIt(), kSPNoError);
    const std::string readRawReply =
        c.failure.empty() ? "\"OK\" \"20\" \"10\""
                          : "\"Error\" " + Quoted("Unable to load RAW image " + photo + ": " + c.failure);
    EXPECT_EQ(run.Values("reply"), (std::vector<std::string>{readRawReply, "\"OK\""}));
    EXPECT_EQ(run.Values("compare").size(), c.failure.empty() ? 1u : 0u) << "the photo's own pixels arrived";
    EXPECT_EQ(run.Values("failed").size(), c.failure.empty() ? 0u : 1u) << "the companion's read-raw, and only that";

    EXPECT_EQ(run.Host().Book().Plays(eventOpen), c.failure == cannotPass ? 0 : 1);
    EXPECT_EQ(run.Host().Book().Plays(eventExport), c.failure.empty() ? 1 : 0);
    ASSERT_EQ(run.Events().Imported().size(), 1u);
    std::vector<std::string> open;
    for (const zk::HostDocument& document : run.Documents().Documents()) open.push_back(document.title);
    EXPECT_EQ(open, (std::vector<std::string>{"mine.psd", run.Events().Imported()[0].title}))
        << "the raw document is closed after, the person's stays";
    EXPECT_NE(run.Documents().ById(mine), nullptr);
    // The alias suite is the module's like every suite: acquired once, released at unload; a host
    // without it is no failure.
    run.Host().Unload();
    EXPECT_EQ(run.Host().Book().Acquisitions(kPSAliasSuite), c.aliasSuite ? 1 : 0);
    EXPECT_EQ(run.Host().Book().Releases(kPSAliasSuite), c.aliasSuite ? 1 : 0);
  }
}

TEST_F(BridgeRun, DocumentRequestsAreAnsweredFromTheHostsDocuments) {
  run.InstallRemembered();
  run.SetScenario("window hidden\nrequest \"GetOpenDocuments\"\nrequest \"CheckAllDocumentsSaved\"\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_EQ(run.Values("reply"), (std::vector<std::string>{"", "\"true\""})) << "no documents: the end marker alone";

  zk::HostDocument harbour{"Harbour.psd", "C:\\Photos\\Harbour.psd", 6000, 4000};
  harbour.depth = 16;
  zk::HostDocument untitled{"Untitled-1", "", 800, 600};
  untitled.dirty = true;
  zk::HostDocument dunes{"D\xC3\xBCnen.tif", "C:\\Photos\\D\xC3\xBCnen.tif", 72, 48};
  dunes.unit = unitDistance;
  dunes.resolution = 300;
  run.Documents().Open(harbour);
  run.Documents().Open(untitled);
  run.Documents().Open(dunes);
  EXPECT_EQ(run.DoIt(), kSPNoError);
  const std::vector<std::string> replies = run.Values("reply");
  ASSERT_EQ(replies.size(), 4u);
  EXPECT_EQ(replies[2],
            "\"Harbour.psd\" \"C:\\\\Photos\\\\Harbour.psd\" \"6000\" \"4000\" \"16\" "
            "\"D\xC3\xBCnen.tif\" \"C:\\\\Photos\\\\D\xC3\xBCnen.tif\" \"300\" \"200\" \"8\"");
  EXPECT_EQ(replies[3], "\"false\"");
  EXPECT_EQ(run.Host().Objects().Live().Total(), 0u) << run.Host().Objects().DescribeLive();
}

// A host without the alias suite: the module asks for it once in a bridge run, however many
// documents its requests read, and again in the next run, where the host may offer it. It used to
// ask for every document of every request: two thousand refused acquisitions in a run of two
// listings of a thousand documents.
TEST_F(BridgeRun, ARefusedAliasSuiteIsAskedForOncePerRun) {
  run.InstallRemembered();
  const std::wstring file = run.Install().Scratch() + L"\\Hafen.png";
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(file, zk::ImagePixels{4, 4, 8, std::vector<uint8_t>(4 * 4 * 3)}, &error)) << error;
  constexpr int kDocuments = 1000;
  for (int i = 1; i <= kDocuments; ++i) {
    run.Documents().Open(zk::HostDocument{"Hafen " + std::to_string(i) + ".png", Utf8(file), 4, 4});
  }
  run.Host().Book().RefuseSuite(kPSAliasSuite);
  const auto refused = [&] {
    int count = 0;
    for (const zk::SuiteEvent& event : run.Host().Book().SuiteEvents()) {
      count += event.acquire && event.name == kPSAliasSuite && event.status != 0;
    }
    return count;
  };
  run.SetScenario("window hidden\nrequest \"GetOpenDocuments\"\nrequest \"GetOpenDocuments\"\n");
  for (int runs = 1; runs <= 2; ++runs) {
    SCOPED_TRACE("run " + std::to_string(runs));
    EXPECT_EQ(run.DoIt(), kSPNoError);
    const std::vector<std::string> replies = run.Values("reply");
    ASSERT_EQ(replies.size(), 2u * runs);
    EXPECT_NE(replies.back().find("\"Hafen 1000.png\""), std::string::npos) << "every document was read";
    EXPECT_EQ(refused(), runs);
  }
}

TEST_F(BridgeRun, AnyFailureInsideARequestStillGetsItsOneReply) {
  run.InstallRemembered();
  run.Host().Book().RefuseSuite(kPSActionControlSuite);  // the document queries cannot reach the host
  run.SetScenario("window hidden\nrequest \"GetOpenDocuments\"\nrequest \"Running\"\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  EXPECT_EQ(run.Values("reply"),
            (std::vector<std::string>{"\"Error\" \"Error processing ZKV request: \"", ""}));
}

}  // namespace
