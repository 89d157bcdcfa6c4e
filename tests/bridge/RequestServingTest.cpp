// Serving one request on the main thread: every request gets exactly one well-formed reply, or,
// when not even an error reply can be built, none at all and the connection ends; never a reply
// that says something else than what happened.
#include <gtest/gtest.h>

#include "BridgeRun.h"
#include "FailingAllocations.h"
#include "ListenerThread.h"
#include "MessageFraming.h"
#include "PipeChannel.h"
#include "PipePair.h"
#include "RequestServing.h"

namespace {

struct ServedRun {
  ServedRun() { BeginBridgeRun(); }
  ~ServedRun() { EndBridgeRun(); }
};

TEST(RequestServing, AFailureInsideTheDispatchIsAnsweredOrEndsTheConnection) {
  // An unknown command whose error text no longer fits a short string: building it allocates.
  const std::string command = "a command nobody knows of";
  const struct {
    const char* what;
    int failingAllocations;
    bool withdrawn;
    FieldList reply;
  } cases[] = {
      {"the dispatch fails, its error reply is built", 1, false, {"Error", "Error processing ZKV request: "}},
      // The end marker alone used to go out: for "Running" the success reply, for
      // "GetOpenDocuments" "no documents open".
      {"not even the error reply can be built", INT_MAX, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ServedRun run;
    ASSERT_TRUE(BridgeRun.RequestServed.Valid());
    RequestFields = {command};
    ListenerError.clear();  // as while a request is served
    ReplyFields.Clear();
    ReplyFields.Append("left over from the last request");
    int failed = 0;
    {
      const FailingAllocations noMemory(0, c.failingAllocations);
      ServeRequest();
      failed = noMemory.Failed();
    }
    ASSERT_GE(failed, 1) << "the dispatch never allocated";
    EXPECT_EQ(WaitForSingleObject(BridgeRun.RequestServed.Get(), 0), WAIT_OBJECT_0) << "the listener is released";
    EXPECT_EQ(ReplyFields.Withdrawn(), c.withdrawn);
    EXPECT_EQ(ReplyFields.Fields(), c.reply);

    // What the companion receives: the reply, or nothing at all.
    PipePair pipe;
    ASSERT_NE(pipe.Client(), INVALID_HANDLE_VALUE);
    PipeChannel channel(pipe.Server(), pipe.RunEnded());
    EXPECT_EQ(WriteMessage(channel, ReplyFields), !c.withdrawn);
    DWORD waiting = 0;
    ASSERT_TRUE(PeekNamedPipe(pipe.Client(), nullptr, 0, nullptr, &waiting, nullptr));
    EXPECT_EQ(waiting == 0, c.withdrawn) << waiting << " bytes sent";
  }
  ReplyFields.Clear();
  EXPECT_FALSE(ReplyFields.Withdrawn()) << "the next request's reply starts afresh";
}

}  // namespace
