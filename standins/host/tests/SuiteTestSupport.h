// A stand-in host with every suite acquired through its basic suite, as a plug-in would.
#pragma once

#include "HostCodes.h"
#include "HostStatus.h"
#include "StandInHost.h"
#include "StandInAccessSuite.h"
#include "StandInAliasSuite.h"
#include "StandInBasicSuite.h"
#include "StandInControlSuite.h"
#include "StandInDescriptorSuite.h"
#include "StandInHandleSuite.h"
#include "StandInListSuite.h"
#include "StandInReferenceSuite.h"
#include "StandInUIHooksSuite.h"
#include "StandInZStringSuite.h"

#include <gtest/gtest.h>

namespace zk_test {

class HostSuitesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Acquire(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion, &desc));
    ASSERT_TRUE(Acquire(kPSActionReferenceSuite, kPSActionReferenceSuiteVersion, &ref));
    ASSERT_TRUE(Acquire(kPSActionListSuite, kPSActionListSuiteVersion, &list));
    ASSERT_TRUE(Acquire(kPSActionControlSuite, kPSActionControlSuiteVersion, &control));
    ASSERT_TRUE(Acquire(kPSHandleSuite, kPSHandleSuiteVersion, &handles));
    ASSERT_TRUE(Acquire(kASZStringSuite, kASZStringSuiteVersion, &zstrings));
    ASSERT_TRUE(Acquire(kPSUIHooksSuite, kPSUIHooksSuiteVersion, &hooks));
    ASSERT_TRUE(Acquire(kSPAccessSuite, kSPAccessSuiteVersion, &access));
  }

  template <typename Suite>
  bool Acquire(const char* name, int32_t version, const Suite** suite) {
    const void* table = nullptr;
    if (basic->AcquireSuite(name, version, &table) != kSPNoError) return false;
    *suite = static_cast<const Suite*>(table);
    return true;
  }

  PIActionDescriptor NewDescriptor() {
    PIActionDescriptor d = nullptr;
    EXPECT_EQ(0, desc->Make(&d));
    return d;
  }

  zk::StandInHost host;
  const SPBasicSuite* basic = zk::StandInBasicSuite(0);
  const PSActionDescriptorProcs* desc = nullptr;
  const PSActionReferenceProcs* ref = nullptr;
  const PSActionListProcs* list = nullptr;
  const PSActionControlProcs* control = nullptr;
  const PSHandleSuite2* handles = nullptr;
  const ASZStringSuite* zstrings = nullptr;
  const PSUIHooksSuite1* hooks = nullptr;
  const SPAccessSuite* access = nullptr;
};

}  // namespace zk_test
