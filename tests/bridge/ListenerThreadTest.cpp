// The listener thread against a real pipe client and a stand-in for the status dialog: notices in
// order, one reply per served request, and no thread left waiting once the run has ended.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FieldLists.h"
#include "ListenerThread.h"
#include "PipePair.h"

namespace {

// A ceiling for a hang: every wait here ends on its event long before.
constexpr DWORD kHangCeilingMs = 30000;

std::vector<WPARAM> notices;

LRESULT CALLBACK RecordNotices(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ListenerNotice) {
    notices.push_back(wParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HANDLE Duplicate(HANDLE handle) {
  HANDLE copy = nullptr;
  DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
  return copy;
}

class Listener : public ::testing::Test {
 protected:
  void SetUp() override {
    notices.clear();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordNotices;
    windowClass.lpszClassName = L"zk-status-stand-in";
    RegisterClassW(&windowClass);
    dialog = CreateWindowW(L"zk-status-stand-in", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    suffix = L"zk-listener-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);

    // The listener takes over its handles, as it does in a run.
    auto start = std::make_unique<ListenerStartData>();
    start->statusDialog = dialog;
    start->pipeNameSuffix = suffix;
    start->companionProcessId = GetCurrentProcessId();  // this process plays the companion
    start->companionProcess.Reset(OpenProcess(SYNCHRONIZE, FALSE, GetCurrentProcessId()));
    start->runEnded.Reset(Duplicate(runEnded.Get()));
    start->requestServed.Reset(Duplicate(requestServed.Get()));
    thread = StartListenerThread(std::move(start));

    // The listener creates the pipe on its own thread: try until it is there.
    const std::wstring name = L"\\\\.\\pipe\\" + suffix;
    const ULONGLONG deadline = GetTickCount64() + kHangCeilingMs;
    while (!client && GetTickCount64() < deadline) {
      client.Reset(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      if (!client) Sleep(10);
    }
    ASSERT_TRUE(client.Valid());
  }
  void TearDown() override {
    SetEvent(runEnded.Get());
    WaitForSingleObject(thread.Get(), kHangCeilingMs);
    DestroyWindow(dialog);
  }

  // Takes the dialog's messages until the given number of notices has arrived.
  bool PumpUntil(size_t count) {
    const ULONGLONG deadline = GetTickCount64() + kHangCeilingMs;
    while (notices.size() < count && GetTickCount64() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return notices.size() >= count;
  }
  void Send(const std::vector<uint8_t>& bytes) {
    DWORD written = 0;
    WriteFile(client.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
  }
  // Plays the main thread serving the announced request with "OK", then the companion reading it.
  void AnswerOkAndReadTheReply() {
    ReplyFields.Clear();
    ReplyFields.Append("OK");
    SetEvent(requestServed.Get());
    std::vector<uint8_t> reply(12);
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(client.Get(), reply.data(), 12, &read, nullptr));
    EXPECT_EQ(reply, Join({Field(u"OK"), Count(0)}));
  }
  // The thread ends on its own once the run is over; how soon is not the point here.
  bool ThreadEnds() { return WaitForSingleObject(thread.Get(), kHangCeilingMs) == WAIT_OBJECT_0; }

  static inline int serial = 0;
  HWND dialog = nullptr;
  std::wstring suffix;
  UniqueHandle runEnded{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle requestServed{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  UniqueHandle thread;
  UniqueFile client;
};

TEST_F(Listener, ServesARequestThenFinishesWhenTheCompanionCloses) {
  Send(Join({Field(u"Running"), Field(u"extra"), Count(0)}));
  ASSERT_TRUE(PumpUntil(2));
  EXPECT_EQ(notices, (std::vector<WPARAM>{NoticeConnected, NoticeRequest}));
  EXPECT_EQ(RequestFields, (FieldList{"Running", "extra"}));
  EXPECT_EQ(ListenerError, "");

  ASSERT_NO_FATAL_FAILURE(AnswerOkAndReadTheReply());

  client.Reset();
  ASSERT_TRUE(PumpUntil(3));
  EXPECT_EQ(notices.back(), WPARAM(NoticeFinished));
  EXPECT_TRUE(ThreadEnds());
}

// The listener reads what has arrived in one go: a request that came in the same write as the one
// before it is already in the listener's hands, and must be served after that one's reply, not lost.
TEST_F(Listener, TwoRequestsInOneWriteAreServedOneAfterTheOther) {
  ASSERT_TRUE(PumpUntil(1));  // connected
  Send(Join({Field(u"Running"), Count(0), Field(u"GetOpenDocuments"), Field(u"x"), Count(0)}));
  for (const FieldList& request : {FieldList{"Running"}, FieldList{"GetOpenDocuments", "x"}}) {
    ASSERT_TRUE(PumpUntil(notices.size() + 1)) << "the request was never announced";
    EXPECT_EQ(notices.back(), WPARAM(NoticeRequest));
    EXPECT_EQ(RequestFields, request);
    ASSERT_NO_FATAL_FAILURE(AnswerOkAndReadTheReply());
  }
}

TEST_F(Listener, ABrokenRequestIsLostWithItsReason) {
  // Connected first, so that this is the broken request alone; a companion that writes and goes
  // before the listener even waits for it is the pipe connection's case.
  ASSERT_TRUE(PumpUntil(1));
  Send(Join({Count(8), Utf16(u"tr")}));
  client.Reset();
  ASSERT_TRUE(PumpUntil(2));
  EXPECT_EQ(notices, (std::vector<WPARAM>{NoticeConnected, NoticeLost}));
  EXPECT_EQ(ListenerError, "Error reading from pipe: 2");
  EXPECT_TRUE(ThreadEnds());
}

// The companion is gone before the reply is written: the write fails at once (a pipe whose client
// has closed takes no more data), and the run is told so instead of waiting for a next request.
TEST_F(Listener, AReplyTheCompanionCanNoLongerTakeLosesTheConnection) {
  Send(Join({Field(u"Running"), Count(0)}));
  ASSERT_TRUE(PumpUntil(2));  // the listener now waits for the request to be served
  client.Reset();

  ReplyFields.Clear();
  ReplyFields.Append("OK");
  SetEvent(requestServed.Get());
  ASSERT_TRUE(PumpUntil(3));
  EXPECT_EQ(notices, (std::vector<WPARAM>{NoticeConnected, NoticeRequest, NoticeLost}));
  EXPECT_EQ(ListenerError, "Error communicating with Zentrast");
  EXPECT_TRUE(ThreadEnds()) << "the notice is its last act";
}

TEST_F(Listener, EndOfRunReleasesAListenerWaitingForItsReply) {
  Send(Join({Field(u"Running"), Count(0)}));
  ASSERT_TRUE(PumpUntil(2));  // the request is announced but never served: the dialog has gone
  SetEvent(runEnded.Get());
  EXPECT_TRUE(ThreadEnds());
}

// When not even an error reply could be built, the companion sees its pipe close, with not a byte
// of a reply before it, and the run is told the connection is lost.
TEST_F(Listener, AWithdrawnReplyEndsTheConnection) {
  Send(Join({Field(u"Running"), Count(0)}));
  ASSERT_TRUE(PumpUntil(2));
  ReplyFields.Withdraw();
  SetEvent(requestServed.Get());
  ASSERT_TRUE(PumpUntil(3)) << "the listener never told the run the connection was lost";
  EXPECT_EQ(notices, (std::vector<WPARAM>{NoticeConnected, NoticeRequest, NoticeLost}));
  EXPECT_EQ(ListenerError, "Error communicating with Zentrast");
  EXPECT_TRUE(ThreadEnds());
  char byte = 0;
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(client.Get(), &byte, 1, &read, nullptr));
  EXPECT_EQ(read, 0u);
  ReplyFields.Clear();
}

TEST_F(Listener, EndOfRunReleasesAListenerWaitingForARequest) {
  ASSERT_TRUE(PumpUntil(1));
  SetEvent(runEnded.Get());
  EXPECT_TRUE(ThreadEnds());
  // Its end of the pipe is closed: the companion sees it.
  char byte = 0;
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(client.Get(), &byte, 1, &read, nullptr));
}

}  // namespace
