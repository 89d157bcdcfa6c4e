// Seeded random requests from the companion, whole runs under Wine: random commands, field counts
// and lengths (up to 70,000 units), numbers and segment names, and now and then a message whose
// framing breaks (then the run ends and the next run goes on with the sequence). The host never
// crashes, every request gets exactly one well-formed reply, and no host object is left.
//   ZK_RANDOM_COUNT and ZK_RANDOM_SEED change the amount and the seed (scripts/random-requests.sh).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "BridgeRunHarness.h"
#include "HostSuitesAll.h"
#include "RunTiming.h"

namespace {

uint64_t Setting(const char* name, uint64_t fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

TEST(RandomRequests, EveryRequestGetsExactlyOneWellFormedReply) {
  const uint64_t total = Setting("ZK_RANDOM_COUNT", 10000);
  const uint64_t seed = Setting("ZK_RANDOM_SEED", 20240611);
  BridgeRunHarness run;
  run.InstallRemembered();
  uint64_t next = 0, requests = 0, replies = 0, wellFormed = 0, bad = 0, breaks = 0, longest = 0, runs = 0;
  const std::regex counts(
      "requests (\\d+), replies (\\d+), well-formed (\\d+), bad (\\d+), framing-breaks (\\d+), longest-field (\\d+), next (\\d+)");
  while (next < total && !::testing::Test::HasFailure()) {
    ++runs;
    // A run sends at most 100,000 requests, so that a long run still shows progress.
    const uint64_t count = std::min<uint64_t>(total - next, 100000);
    run.SetScenario("window hidden\nrandom " + std::to_string(seed) + " " + std::to_string(count) + " from " +
                    std::to_string(next) + "\n");
    FreshTranscript(run);
    CompanionWatch companion(run);
    ASSERT_EQ(run.DoIt(), kSPNoError);
    companion.EndedAt();
    EXPECT_EQ(run.Host().Objects().Live().Total(), 0u) << run.Host().Objects().DescribeLive();
    for (const std::string& failure : run.Values("random-failure")) ADD_FAILURE() << failure;
    const std::vector<std::string> lines = run.Values("random-counts");
    ASSERT_EQ(lines.size(), 1u) << "the companion wrote its counts (run from request " << next << ")";
    std::smatch match;
    ASSERT_TRUE(std::regex_search(lines[0], match, counts)) << lines[0];
    const auto value = [&](int i) { return std::stoull(match[i].str()); };
    EXPECT_EQ(value(1), value(2)) << "one reply per request";
    EXPECT_EQ(value(2), value(3)) << "every reply well-formed";
    EXPECT_EQ(value(4), 0u);
    requests += value(1), replies += value(2), wellFormed += value(3), bad += value(4), breaks += value(5);
    longest = std::max<uint64_t>(longest, value(6));
    ASSERT_GT(value(7), next) << "the sequence goes on";
    // A broken message ends the run with the read error; otherwise the run ends without a word.
    if (value(5) != 0) {
      ASSERT_EQ(run.Messages().size(), 1u);
      EXPECT_EQ(run.Messages()[0].rfind(L"Problem communicating with Zentrast | Connection to Zentrast was lost: ", 0), 0u);
    } else {
      EXPECT_TRUE(run.Messages().empty());
      EXPECT_EQ(run.Values("exit"), std::vector<std::string>{"0"});
    }
    next = value(7);
  }
  std::printf("random requests, seed %llu: %llu runs, %llu requests, %llu replies, %llu well-formed, %llu bad, "
              "%llu framing breaks, longest field %llu units\n",
              (unsigned long long)seed, (unsigned long long)runs, (unsigned long long)requests,
              (unsigned long long)replies, (unsigned long long)wellFormed, (unsigned long long)bad,
              (unsigned long long)breaks, (unsigned long long)longest);
  std::fflush(stdout);
  EXPECT_EQ(requests + breaks, total);
}

}  // namespace
