// The host check module beside the bridge module, and how it tells a host's 8-bit texts apart.
#include <gtest/gtest.h>

#include "NarrowTextEncoding.h"
#include "StandInHost.h"
#include "TestPaths.h"

namespace {

// A host tells plug-ins apart by their menu names and by the event and unique identifier of their
// terminology: the two modules share none of them, so both sit in one plug-ins folder.
TEST(HostCheckModule, SitsInOnePluginsFolderWithTheBridgeModule) {
  zk::StandInHost host;
  const zk::ScanResult& scan = host.Scan(PluginsFolder());
  EXPECT_TRUE(scan.refusals.empty()) << scan.refusals.front().message;
  const zk::PluginRecord* bridge = host.FindPlugin("Zentrast Kolvane...");
  const zk::PluginRecord* check = host.FindPlugin("Zentrast Kolvane Host Check...");
  ASSERT_NE(nullptr, bridge);
  ASSERT_NE(nullptr, check);
  EXPECT_EQ("Zentrast Kolvane Host Check", check->eventName);
  EXPECT_EQ("AutoPluginMain", check->pipl.entryName);
  const zk::PiplTerminology& a = bridge->pipl.terminology;
  const zk::PiplTerminology& b = check->pipl.terminology;
  EXPECT_FALSE(a.classId == b.classId && a.eventId == b.eventId) << "one scripting event for two plug-ins";
  EXPECT_NE(a.scope, b.scope);
  EXPECT_NE(bridge->eventName, check->eventName);
}

// The encoding of an 8-bit text, told from its whole form (the tests run with code page 1252).
TEST(HostCheckModule, TellsTheEncodingOfAnEightBitText) {
  const struct {
    const char* bytes;
    std::u16string whole;
    const char* encoding;
  } cases[] = {
      {"Hafen.psd", u"Hafen.psd", "ASCII only, cannot tell"},
      {"J\xFCrgen", u"J\u00FCrgen", "the ANSI code page"},
      {"J\xC3\xBCrgen", u"J\u00FCrgen", "UTF-8"},
      {"J\xFCrgen ?", u"J\u00FCrgen \u5199", "the ANSI code page, characters it lacks replaced"},
      {"Jurgen", u"J\u00FCrgen", "neither the ANSI code page nor UTF-8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(c.encoding, NarrowTextEncoding(c.bytes, c.whole));
  }
}

}  // namespace
