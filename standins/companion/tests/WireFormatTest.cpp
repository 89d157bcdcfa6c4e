// Whether bytes that have arrived hold a whole message yet (what `wait-reply` waits for).
#include "WireFormat.h"

#include <gtest/gtest.h>

#include "TestPipeServer.h"

namespace {

using zk::test::Concat;
using zk::test::EndMarker;
using zk::test::Field;
using Bytes = std::vector<std::uint8_t>;

TEST(CompanionWireFormat, AWholeMessageIsThereOnlyOnceItsEndMarkerIs) {
  const Bytes reply = Concat({Field(L"OK"), Field(L"640"), EndMarker()});
  const struct {
    const char* name;
    Bytes bytes;
    bool whole;
  } cases[] = {
      {"nothing yet", {}, false},
      {"part of a count", {4, 0}, false},
      {"a count, no text", {4, 0, 0, 0}, false},
      {"a field, no end marker", Field(L"OK"), false},
      {"all but the end marker's last byte", Bytes(reply.begin(), reply.end() - 1), false},
      {"the end marker alone", EndMarker(), true},
      {"fields and the end marker", reply, true},
      {"and the next reply's first bytes", Concat({reply, Bytes{8, 0}}), true},
      {"a count that claims more than came", Concat({Bytes{0xFF, 0xFF, 0xFF, 0xFF}, EndMarker()}), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(zk::HoldsWholeMessage(c.bytes), c.whole);
  }
}

}  // namespace
