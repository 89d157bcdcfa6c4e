// The module's owners of host objects against the stand-in host, which tracks every live object:
// each kind is released exactly once through the host's own call, a taken one is the caller's,
// and a Make the host refuses leaves the holder empty with the host's status.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "HostObjectOwners.h"
#include "InProcessHost.h"

namespace {

size_t Live() { return TestHost().Objects().Live().Total(); }

template <class Holder>
void CheckReleasedOnceAndTaken(const std::function<typename Holder::Value()>& make,
                               const std::function<void(typename Holder::Value)>& release) {
  {
    Holder holder(make());
    ASSERT_TRUE(holder.Valid());
    EXPECT_EQ(Live(), 1u);
    holder.Reset();
    EXPECT_EQ(Live(), 0u);
  }  // nothing left to release at the end of the scope
  typename Holder::Value taken = nullptr;
  {
    Holder holder(make());
    taken = holder.Take();
  }
  EXPECT_EQ(Live(), 1u) << "a taken object is the caller's";
  release(taken);
  EXPECT_EQ(Live(), 0u);
}

class HostObjectOwners : public ::testing::Test {
 protected:
  void SetUp() override { ResetTestHost(); }
  void TearDown() override { EXPECT_EQ(Live(), 0u) << TestHost().Objects().DescribeLive(); }
};

TEST_F(HostObjectOwners, EachKindIsReleasedThroughTheHost) {
  {
    SCOPED_TRACE("descriptor");
    CheckReleasedOnceAndTaken<DescriptorHolder>([] { PIActionDescriptor d = nullptr; sPSActionDescriptor->Make(&d); return d; },
                                                [](PIActionDescriptor d) { sPSActionDescriptor->Free(d); });
  }
  {
    SCOPED_TRACE("reference");
    CheckReleasedOnceAndTaken<ReferenceHolder>([] { PIActionReference r = nullptr; sPSActionReference->Make(&r); return r; },
                                               [](PIActionReference r) { sPSActionReference->Free(r); });
  }
  {
    SCOPED_TRACE("list");
    CheckReleasedOnceAndTaken<ListHolder>([] { PIActionList l = nullptr; sPSActionList->Make(&l); return l; },
                                          [](PIActionList l) { sPSActionList->Free(l); });
  }
  {
    SCOPED_TRACE("handle");
    CheckReleasedOnceAndTaken<HostHandleHolder>([] { return sPSHandle->New(16); },
                                                [](Handle h) { sPSHandle->Dispose(h); });
  }
  {
    SCOPED_TRACE("ZString");
    CheckReleasedOnceAndTaken<ZStringHolder>(
        [] {
          ASZString text = nullptr;
          sASZString->MakeFromCString("Zentrast", std::strlen("Zentrast"), &text);
          return text;
        },
        [](ASZString text) { sASZString->Release(text); });
  }
}

TEST_F(HostObjectOwners, ARefusedMakeLeavesTheHolderEmptyWithTheHostsStatus) {
  TestHost().Book().FailProcedure("PSActionDescriptor.Make", -108);
  TestHost().Book().FailProcedure("PSActionReference.Make", -108);
  DescriptorHolder descriptor;
  ReferenceHolder reference;
  EXPECT_EQ(MakeDescriptor(descriptor), -108);
  EXPECT_EQ(MakeReference(reference), -108);
  EXPECT_FALSE(descriptor.Valid());
  EXPECT_FALSE(reference.Valid());
  TestHost().Book().ClearFaults();
  EXPECT_EQ(MakeDescriptor(descriptor), 0);
  EXPECT_TRUE(descriptor.Valid());
}

}  // namespace
