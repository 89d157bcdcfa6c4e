// The stand-in host's documents as the module reaches them through ActionControl.Get.
#include "DocumentModel.h"
#include "SuiteTestSupport.h"

#include <cstring>

namespace {

class DocumentModelTest : public zk_test::HostSuitesTest {
 protected:
  void SetUp() override {
    HostSuitesTest::SetUp();
    documents.AttachTo(host);
  }
  // Get of a reference made of (class, form) elements, innermost first.
  OSErr Get(const std::function<void(PIActionReference)>& build, PIActionDescriptor* result) {
    PIActionReference reference = nullptr;
    ref->Make(&reference);
    build(reference);
    const OSErr status = control->Get(result, reference);
    ref->Free(reference);
    return status;
  }
  zk::DocumentModel documents;
};

TEST_F(DocumentModelTest, ApplicationCountsItsDocuments) {
  PIActionDescriptor result = nullptr;
  auto countProperty = [&](PIActionReference r) {
    ref->PutProperty(r, classProperty, keyNumberOfDocuments);
    ref->PutEnumerated(r, classApplication, typeOrdinal, enumTarget);
  };
  ASSERT_EQ(0, Get(countProperty, &result));
  int32_t count = -1;
  EXPECT_EQ(0, desc->GetInteger(result, keyNumberOfDocuments, &count));
  EXPECT_EQ(0, count);
  desc->Free(result);

  documents.Open(zk::HostDocument{"a", "C:\\a", 1, 1});
  documents.Open(zk::HostDocument{"b", "", 1, 1});
  ASSERT_EQ(0, Get(countProperty, &result));
  EXPECT_EQ(0, desc->GetInteger(result, keyNumberOfDocuments, &count));
  EXPECT_EQ(2, count);
  desc->Free(result);
}

TEST_F(DocumentModelTest, DocumentsByIndexTargetIdentifierAndProperty) {
  zk::HostDocument first{"first.psd", "C:\\Photos\\first.psd", 72, 36};
  first.unit = unitDistance;
  first.resolution = 300;
  first.depth = 16;
  const uint32_t firstId = documents.Open(first);
  zk::HostDocument second{"Untitled-1", "", 800, 600};
  second.dirty = true;
  documents.Open(second);

  PIActionDescriptor whole = nullptr;
  ASSERT_EQ(0, Get([&](PIActionReference r) { ref->PutIndex(r, classDocument, 1); }, &whole));
  char text[64] = {};
  EXPECT_EQ(0, desc->GetString(whole, keyTitle, text, sizeof text));
  EXPECT_STREQ("first.psd", text);
  Handle alias = nullptr;
  ASSERT_EQ(0, desc->GetAlias(whole, keyFileReference, &alias));
  EXPECT_STREQ("C:\\Photos\\first.psd", *alias);
  EXPECT_EQ(int32_t(std::strlen(*alias) + 1), handles->GetSize(alias));
  handles->Dispose(alias);
  DescriptorUnitID unit = 0;
  double value = 0;
  EXPECT_EQ(0, desc->GetUnitFloat(whole, keyWidth, &unit, &value));
  EXPECT_EQ(unitDistance, unit);
  EXPECT_EQ(72.0, value);
  int32_t integer = 0;
  EXPECT_EQ(0, desc->GetInteger(whole, keyWidth, &integer)) << "a measurement also reads as an integer";
  EXPECT_EQ(72, integer);
  // The resolution is typed as the host types it: a unit double in pixels per inch, which the
  // plain double getter reads as well.
  EXPECT_EQ(0, desc->GetUnitFloat(whole, keyResolution, &unit, &value));
  EXPECT_EQ(unitDensity, unit);
  EXPECT_EQ(300.0, value);
  EXPECT_EQ(0, desc->GetFloat(whole, keyResolution, &value));
  EXPECT_EQ(300.0, value);
  EXPECT_EQ(0, desc->GetInteger(whole, keyDepth, &integer));
  EXPECT_EQ(16, integer);
  desc->Free(whole);

  // The target is the document opened last; a document never saved has no file reference.
  ASSERT_EQ(0, Get([&](PIActionReference r) { ref->PutEnumerated(r, classDocument, typeOrdinal, enumTarget); }, &whole));
  Boolean dirty = false, has = true;
  EXPECT_EQ(0, desc->GetBoolean(whole, keyIsDirty, &dirty));
  EXPECT_TRUE(dirty);
  EXPECT_EQ(0, desc->HasKey(whole, keyFileReference, &has));
  EXPECT_FALSE(has);
  desc->Free(whole);

  PIActionDescriptor property = nullptr;
  ASSERT_EQ(0, Get(
                   [&](PIActionReference r) {
                     ref->PutProperty(r, classProperty, keyTitle);
                     ref->PutIdentifier(r, classDocument, firstId);
                   },
                   &property));
  uint32_t count = 0;
  EXPECT_EQ(0, desc->GetCount(property, &count));
  EXPECT_EQ(1u, count) << "only the property asked for";
  desc->Free(property);

  PIActionDescriptor none = nullptr;
  EXPECT_EQ(zk::kStandInBadIndex, Get([&](PIActionReference r) { ref->PutIndex(r, classDocument, 3); }, &none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(zk::kStandInNoSuchObject, Get([&](PIActionReference r) { ref->PutIndex(r, FourCC("Lyr "), 1); }, &none));
  EXPECT_EQ(0u, host.Objects().Live().Total()) << host.Objects().DescribeLive();
}

TEST(DocumentSpec, ParsesWhatTheCommandLineSays) {
  zk::HostDocument document;
  std::string error;
  ASSERT_TRUE(zk::ParseDocumentSpec(
      "title=Dunes.tif|file=C:\\Photos\\Dunes.tif|width=72|height=48|unit=distance|resolution=300|depth=16|dirty=yes",
      &document, &error))
      << error;
  EXPECT_EQ("Dunes.tif", document.title);
  EXPECT_EQ("C:\\Photos\\Dunes.tif", document.file);
  EXPECT_EQ(72.0, document.width);
  EXPECT_EQ(48.0, document.height);
  EXPECT_EQ(unitDistance, document.unit);
  EXPECT_EQ(300.0, document.resolution);
  EXPECT_EQ(16, document.depth);
  EXPECT_TRUE(document.dirty);

  ASSERT_TRUE(zk::ParseDocumentSpec("title=Untitled-1", &document, &error));
  EXPECT_EQ("", document.file) << "never saved";
  EXPECT_EQ(unitPixels, document.unit);

  for (const char* bad : {"file=C:\\a.psd", "title=a|width=wide", "title=a|unit=inch", "title=a|dirty=maybe",
                          "title=a|colour=red", "title=a|width"}) {
    EXPECT_FALSE(zk::ParseDocumentSpec(bad, &document, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

}  // namespace
