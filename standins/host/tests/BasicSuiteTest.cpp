// The basic suite: which suites the host offers, refusals and injected faults, counts per table.
#include "SuiteTestSupport.h"

#include <ostream>

#include <cstring>

namespace {

struct Offered {
  const char* name;
  int32_t version;
};

void PrintTo(const Offered& c, std::ostream* out) { *out << c.name << " version " << c.version; }

class BasicSuiteOffers : public testing::TestWithParam<Offered> {};

TEST_P(BasicSuiteOffers, AcquiresExactlyTheOfferedVersion) {
  zk::StandInHost host;
  const SPBasicSuite* basic = zk::StandInBasicSuite(0);
  const void* suite = nullptr;
  EXPECT_EQ(kSPNoError, basic->AcquireSuite(GetParam().name, GetParam().version, &suite));
  EXPECT_NE(nullptr, suite);
  EXPECT_EQ(kSPNoError, basic->ReleaseSuite(GetParam().name, GetParam().version));
  for (int32_t other : {GetParam().version - 1, GetParam().version + 1}) {
    const void* missing = &other;
    EXPECT_EQ(kSPSuiteNotFoundError, basic->AcquireSuite(GetParam().name, other, &missing));
    EXPECT_EQ(nullptr, missing);
  }
}

INSTANTIATE_TEST_SUITE_P(Suites, BasicSuiteOffers,
                         testing::Values(Offered{kSPBasicSuite, 4}, Offered{kPSActionDescriptorSuite, 3},
                                         Offered{kPSActionReferenceSuite, 3}, Offered{kPSActionControlSuite, 2},
                                         Offered{kPSActionListSuite, 1}, Offered{kPSHandleSuite, 2},
                                         Offered{kPSUIHooksSuite, 1}, Offered{kASZStringSuite, 1},
                                         Offered{kSPAccessSuite, 3}));

TEST(BasicSuite, UnknownSuitesAreNotFound) {
  zk::StandInHost host;
  const SPBasicSuite* basic = zk::StandInBasicSuite(0);
  const void* suite = nullptr;
  EXPECT_EQ(kSPSuiteNotFoundError, basic->AcquireSuite("No Such Suite", 1, &suite));
  // Names compare exactly: the identifiers are lower-case.
  EXPECT_EQ(kSPSuiteNotFoundError, basic->AcquireSuite("DF135115-C769-11D0-8079-00C04FD7EC47", 3, &suite));
  EXPECT_EQ(kSPSuiteNotFoundError, basic->ReleaseSuite("No Such Suite", 1));
  EXPECT_EQ(kSPBadParameterError, basic->AcquireSuite(nullptr, 1, &suite));
  EXPECT_EQ(kSPBadParameterError, basic->AcquireSuite(kPSHandleSuite, 2, nullptr));
}

TEST(BasicSuite, RefusesANamedSuiteInOneOrEveryVersion) {
  zk::StandInHost host;
  const SPBasicSuite* basic = zk::StandInBasicSuite(0);
  host.Book().RefuseSuite(kPSActionReferenceSuite, 3);
  host.Book().RefuseSuite(kPSUIHooksSuite);
  const void* suite = nullptr;
  EXPECT_EQ(kSPSuiteNotFoundError, basic->AcquireSuite(kPSActionReferenceSuite, 3, &suite));
  EXPECT_EQ(kSPSuiteNotFoundError, basic->AcquireSuite(kPSUIHooksSuite, 1, &suite));
  EXPECT_EQ(kSPNoError, basic->AcquireSuite(kPSHandleSuite, 2, &suite));
  EXPECT_EQ(0, host.Book().Acquisitions(kPSActionReferenceSuite));
  EXPECT_EQ(1, host.Book().Acquisitions(kPSHandleSuite));
  host.Book().ClearFaults();
  EXPECT_EQ(kSPNoError, basic->AcquireSuite(kPSUIHooksSuite, 1, &suite));
}

TEST(BasicSuite, CountsThroughWhichTableEachCallCame) {
  zk::StandInHost host;
  const SPBasicSuite* first = zk::StandInBasicSuite(3);
  const SPBasicSuite* second = zk::StandInBasicSuite(4);
  ASSERT_NE(first, second);
  EXPECT_EQ(4, zk::BasicSuiteTableIndex(second));
  const void* suite = nullptr;
  first->AcquireSuite(kASZStringSuite, 1, &suite);
  second->ReleaseSuite(kASZStringSuite, 1);
  const std::vector<zk::SuiteEvent>& events = host.Book().SuiteEvents();
  ASSERT_EQ(2u, events.size());
  EXPECT_TRUE(events[0].acquire);
  EXPECT_EQ(3, events[0].basicTable);
  EXPECT_FALSE(events[1].acquire);
  EXPECT_EQ(4, events[1].basicTable);
  EXPECT_EQ(0, host.Book().Outstanding(kASZStringSuite));
}

// A release without a matching acquisition is refused, so a double release shows in the counts.
TEST(BasicSuite, RefusesReleasingMoreThanAcquired) {
  zk::StandInHost host;
  const SPBasicSuite* basic = zk::StandInBasicSuite(0);
  const void* suite = nullptr;
  basic->AcquireSuite(kSPAccessSuite, 3, &suite);
  EXPECT_EQ(kSPNoError, basic->ReleaseSuite(kSPAccessSuite, 3));
  EXPECT_EQ(kSPBadParameterError, basic->ReleaseSuite(kSPAccessSuite, 3));
  EXPECT_EQ(2, host.Book().Releases(kSPAccessSuite));
  EXPECT_EQ(0, host.Book().Outstanding(kSPAccessSuite));
}

TEST(BasicSuite, IsEqualMemoryAndUndefined) {
  zk::StandInHost host;
  const SPBasicSuite* basic = zk::StandInBasicSuite(0);
  EXPECT_EQ(1, basic->IsEqual("Do It", "Do It"));
  EXPECT_EQ(0, basic->IsEqual("Do It", "do it"));
  EXPECT_EQ(0, basic->IsEqual("Do It", "Do It "));
  EXPECT_EQ(0, basic->IsEqual(nullptr, "x"));
  void* block = nullptr;
  ASSERT_EQ(kSPNoError, basic->AllocateBlock(16, &block));
  std::memset(block, 7, 16);
  void* bigger = nullptr;
  ASSERT_EQ(kSPNoError, basic->ReallocateBlock(block, 64, &bigger));
  EXPECT_EQ(7, static_cast<char*>(bigger)[15]);
  EXPECT_EQ(kSPNoError, basic->FreeBlock(bigger));
  EXPECT_EQ(kSPUnimplementedError, basic->Undefined());
}

class FaultInjection : public zk_test::HostSuitesTest {};

TEST_F(FaultInjection, FailsANamedProcedureOnEveryOrOnlyTheNthCall) {
  host.Book().FailProcedure("PSActionReference.PutEnumerated", -25, 2);
  host.Book().FailProcedure("PSActionReference.PutIndex", -1);
  PIActionReference r = nullptr;
  ref->Make(&r);
  EXPECT_EQ(0, ref->PutEnumerated(r, classDocument, typeOrdinal, enumTarget));
  EXPECT_EQ(-25, ref->PutEnumerated(r, classDocument, typeOrdinal, enumTarget));
  EXPECT_EQ(0, ref->PutEnumerated(r, classDocument, typeOrdinal, enumTarget));
  EXPECT_EQ(-1, ref->PutIndex(r, classDocument, 1));
  EXPECT_EQ(-1, ref->PutIndex(r, classDocument, 1));
  EXPECT_EQ(3, host.Book().Calls("PSActionReference.PutEnumerated"));
  EXPECT_EQ(2, host.Book().Calls("PSActionReference.PutIndex"));
  EXPECT_EQ(1, host.Book().Calls("PSActionReference.Make"));
  ref->Free(r);
}

TEST_F(FaultInjection, FailedProceduresWithoutStatusGiveNothing) {
  host.Book().FailProcedure("PSHandle.New", -108);
  host.Book().FailProcedure("PSUIHooks.GetPluginName", kSPBadParameterError);
  EXPECT_EQ(nullptr, handles->New(4));
  ASZString name = nullptr;
  EXPECT_EQ(kSPBadParameterError, hooks->GetPluginName(nullptr, &name));
  EXPECT_EQ(nullptr, name);
}

// Suite procedures have no context: without a current host they answer an error and touch nothing.
TEST(NoCurrentHost, SuitesAnswerAnError) {
  const PSActionDescriptorProcs* desc = zk::StandInDescriptorSuite();
  PIActionDescriptor d = nullptr;
  EXPECT_EQ(zk::kStandInNoCurrentHost, desc->Make(&d));
  EXPECT_EQ(nullptr, d);
  const void* suite = nullptr;
  EXPECT_NE(kSPNoError, zk::StandInBasicSuite(0)->AcquireSuite(kPSHandleSuite, 2, &suite));
}

TEST(NestedHosts, TheLatestHostIsCurrentUntilItEnds) {
  zk::StandInHost outer;
  {
    zk::StandInHost inner;
    EXPECT_EQ(&inner, zk::StandInHost::Current());
  }
  EXPECT_EQ(&outer, zk::StandInHost::Current());
}

}  // namespace
