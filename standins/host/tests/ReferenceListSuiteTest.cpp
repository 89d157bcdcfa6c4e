// Action references (a chain of elements, read from the first) and action lists (values by index).
#include "SuiteTestSupport.h"

#include <ostream>

#include <cstring>

namespace {

using zk_test::HostSuitesTest;

class ReferenceSuite : public HostSuitesTest {};

TEST_F(ReferenceSuite, GetReadsTheFirstElementAndGetContainerTheRest) {
  PIActionReference r = nullptr;
  ASSERT_EQ(0, ref->Make(&r));
  ASSERT_EQ(0, ref->PutProperty(r, FourCC("Prpr"), FourCC("Ttl ")));
  ASSERT_EQ(0, ref->PutEnumerated(r, classDocument, typeOrdinal, enumTarget));
  ASSERT_EQ(0, ref->PutIndex(r, classApplication, 3));

  DescriptorFormID form = 0;
  DescriptorClassID cls = 0;
  DescriptorKeyID property = 0;
  EXPECT_EQ(0, ref->GetForm(r, &form));
  EXPECT_EQ(formProperty, form);
  EXPECT_EQ(0, ref->GetDesiredClass(r, &cls));
  EXPECT_EQ(FourCC("Prpr"), cls);
  EXPECT_EQ(0, ref->GetProperty(r, &property));
  EXPECT_EQ(FourCC("Ttl "), property);
  DescriptorEnumID value = 0;
  EXPECT_EQ(zk::kStandInWrongType, ref->GetEnumerated(r, nullptr, &value));

  PIActionReference container = nullptr;
  ASSERT_EQ(0, ref->GetContainer(r, &container));
  DescriptorEnumTypeID type = 0;
  EXPECT_EQ(0, ref->GetEnumerated(container, &type, &value));
  EXPECT_EQ(typeOrdinal, type);
  EXPECT_EQ(enumTarget, value);
  PIActionReference outermost = nullptr;
  ASSERT_EQ(0, ref->GetContainer(container, &outermost));
  uint32_t index = 0;
  EXPECT_EQ(0, ref->GetIndex(outermost, &index));
  EXPECT_EQ(3u, index);
  PIActionReference none = r;
  EXPECT_EQ(zk::kStandInNoSuchObject, ref->GetContainer(outermost, &none));
  EXPECT_EQ(nullptr, none);

  for (PIActionReference x : {r, container, outermost}) EXPECT_EQ(0, ref->Free(x));
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

struct FormCase {
  const char* what;
  DescriptorFormID form;
};

void PrintTo(const FormCase& c, std::ostream* out) { *out << c.what; }

class ReferenceForms : public HostSuitesTest, public testing::WithParamInterface<FormCase> {};

// Each form puts and reads back its own value and records its form code.
TEST_P(ReferenceForms, PutAndGetEachForm) {
  PIActionReference r = nullptr;
  ref->Make(&r);
  uint32_t u = 0;
  int32_t i = 0;
  char name[8] = {};
  DescriptorFormID form = GetParam().form;
  if (form == formName) {
    EXPECT_EQ(0, ref->PutName(r, classDocument, "Untitled-1"));
    EXPECT_EQ(0, ref->GetNameLength(r, &u));
    EXPECT_EQ(10u, u);
    EXPECT_EQ(0, ref->GetName(r, name, sizeof name));
    EXPECT_STREQ("Untitle", name);  // cut to the buffer, terminated
  } else if (form == formIndex) {
    EXPECT_EQ(0, ref->PutIndex(r, classDocument, 2));
    EXPECT_EQ(0, ref->GetIndex(r, &u));
    EXPECT_EQ(2u, u);
  } else if (form == formIdentifier) {
    EXPECT_EQ(0, ref->PutIdentifier(r, classDocument, 77));
    EXPECT_EQ(0, ref->GetIdentifier(r, &u));
    EXPECT_EQ(77u, u);
  } else if (form == formOffset) {
    EXPECT_EQ(0, ref->PutOffset(r, classDocument, -1));
    EXPECT_EQ(0, ref->GetOffset(r, &i));
    EXPECT_EQ(-1, i);
  } else if (form == formClass) {
    EXPECT_EQ(0, ref->PutClass(r, classDocument));
  }
  DescriptorFormID got = 0;
  EXPECT_EQ(0, ref->GetForm(r, &got));
  EXPECT_EQ(form, got);
  ref->Free(r);
}

INSTANTIATE_TEST_SUITE_P(Forms, ReferenceForms,
                         testing::Values(FormCase{"name", formName}, FormCase{"index", formIndex},
                                         FormCase{"identifier", formIdentifier}, FormCase{"offset", formOffset},
                                         FormCase{"class", formClass}));

TEST_F(ReferenceSuite, AnEmptyReferenceHasNothingToRead) {
  PIActionReference r = nullptr;
  ref->Make(&r);
  DescriptorFormID form = 0;
  EXPECT_EQ(zk::kStandInNoSuchObject, ref->GetForm(r, &form));
  ref->Free(r);
  EXPECT_EQ(zk::kStandInParamError, ref->PutIndex(r, classDocument, 1));
}

class ListSuite : public HostSuitesTest {};

TEST_F(ListSuite, ValuesByIndex) {
  PIActionList l = nullptr;
  ASSERT_EQ(0, list->Make(&l));
  list->PutInteger(l, 5);
  list->PutString(l, "text");
  list->PutUnitFloat(l, unitDistance, 1.5);
  int32_t values[] = {7, 8};
  list->PutIntegers(l, 2, values);
  uint32_t count = 0;
  EXPECT_EQ(0, list->GetCount(l, &count));
  EXPECT_EQ(5u, count);
  DescriptorTypeID type = 0;
  EXPECT_EQ(0, list->GetType(l, 1, &type));
  EXPECT_EQ(typeChar, type);
  int32_t i = 0;
  EXPECT_EQ(0, list->GetInteger(l, 0, &i));
  EXPECT_EQ(5, i);
  EXPECT_EQ(0, list->GetInteger(l, 4, &i));
  EXPECT_EQ(8, i);
  char text[8] = {};
  EXPECT_EQ(0, list->GetString(l, 1, text, sizeof text));
  EXPECT_STREQ("text", text);
  DescriptorUnitID unit = 0;
  double f = 0;
  EXPECT_EQ(0, list->GetUnitFloat(l, 2, &unit, &f));
  EXPECT_EQ(unitDistance, unit);
  EXPECT_EQ(zk::kStandInWrongType, list->GetInteger(l, 1, &i));
  EXPECT_EQ(zk::kStandInBadIndex, list->GetInteger(l, 5, &i));
  int32_t firstTwo[2] = {};
  EXPECT_EQ(zk::kStandInWrongType, list->GetIntegers(l, 2, firstTwo));  // item 1 is text
  EXPECT_EQ(0, list->Free(l));
}

TEST_F(ListSuite, NestedObjectsAreCopies) {
  PIActionList l = nullptr;
  list->Make(&l);
  PIActionDescriptor d = NewDescriptor();
  desc->PutBoolean(d, FourCC("Flag"), 1);
  EXPECT_EQ(0, list->PutObject(l, classDocument, d));
  desc->Free(d);
  DescriptorClassID cls = 0;
  PIActionDescriptor got = nullptr;
  EXPECT_EQ(0, list->GetObject(l, 0, &cls, &got));
  Boolean flag = 0;
  EXPECT_EQ(0, desc->GetBoolean(got, FourCC("Flag"), &flag));
  EXPECT_EQ(1, flag);
  desc->Free(got);
  list->Free(l);
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

}  // namespace
