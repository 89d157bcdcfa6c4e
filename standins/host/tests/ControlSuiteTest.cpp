// Action control: string and type IDs, and Play/Get as the extension point of a document model.
#include "SuiteTestSupport.h"

namespace {

class ControlSuite : public zk_test::HostSuitesTest {};

TEST_F(ControlSuite, StringIdsMapToStableTypeIds) {
  DescriptorTypeID known = 0;
  EXPECT_EQ(0, control->StringIDToTypeID("document", &known));
  EXPECT_EQ(classDocument, known);
  DescriptorTypeID first = 0;
  DescriptorTypeID again = 0;
  DescriptorTypeID other = 0;
  EXPECT_EQ(0, control->StringIDToTypeID("b28c4e40-66a6-11e2-bcfd-0800200c9a66", &first));
  EXPECT_EQ(0, control->StringIDToTypeID("b28c4e40-66a6-11e2-bcfd-0800200c9a66", &again));
  EXPECT_EQ(0, control->StringIDToTypeID("b33b37f0-655e-11e2-bcfd-0800200c9a66", &other));
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  EXPECT_LT(first, 0x20000000u);  // never a printable four-character code

  char text[64] = {};
  EXPECT_EQ(0, control->TypeIDToStringID(first, text, sizeof text));
  EXPECT_STREQ("b28c4e40-66a6-11e2-bcfd-0800200c9a66", text);
  char small[5] = {};
  EXPECT_EQ(0, control->TypeIDToStringID(classDocument, small, sizeof small));
  EXPECT_STREQ("docu", small);
  EXPECT_EQ(zk::kStandInNoSuchObject, control->TypeIDToStringID(FourCC("Zzzz"), text, sizeof text));

  EXPECT_EQ(0, control->MakeStringAlias("theDocument", "document"));
  EXPECT_EQ(0, control->StringIDToTypeID("theDocument", &known));
  EXPECT_EQ(classDocument, known);
}

// The caller owns the result of every Play, also of a failed one, which carries a message.
TEST_F(ControlSuite, PlayOfAnUnregisteredEventFailsWithAResultToFree) {
  PIActionDescriptor result = nullptr;
  EXPECT_EQ(zk::kStandInEventNotHandled, control->Play(&result, FourCC("Opn "), nullptr, plugInDialogSilent));
  ASSERT_NE(nullptr, result);
  Boolean has = 0;
  EXPECT_EQ(0, desc->HasKey(result, keyMessage, &has));
  EXPECT_EQ(1, has);
  EXPECT_EQ(0, desc->Free(result));
  EXPECT_EQ(0u, host.Objects().Live().Total());
}

TEST_F(ControlSuite, PlayRunsTheRegisteredHandler) {
  DescriptorEventID seenEvent = 0;
  PIDialogPlayOptions seenOptions = plugInDialogDisplay;
  host.RegisterEvent(FourCC("Expr"), [&](DescriptorEventID event, const zk::DescriptorData* parameters,
                                         PIDialogPlayOptions options, zk::DescriptorData* result) {
    seenEvent = event;
    seenOptions = options;
    if (!parameters || !parameters->Find(FourCC("Usng"))) return zk::kStandInParamError;
    zk::ActionValue done;
    done.type = typeBoolean;
    done.flag = true;
    result->Put(FourCC("Done"), done);
    return OSErr(0);
  });
  PIActionDescriptor parameters = NewDescriptor();
  desc->PutInteger(parameters, FourCC("Usng"), 1);
  PIActionDescriptor result = nullptr;
  EXPECT_EQ(0, control->Play(&result, FourCC("Expr"), parameters, plugInDialogSilent));
  EXPECT_EQ(FourCC("Expr"), seenEvent);
  EXPECT_EQ(plugInDialogSilent, seenOptions);
  Boolean done = 0;
  EXPECT_EQ(0, desc->GetBoolean(result, FourCC("Done"), &done));
  EXPECT_EQ(1, done);
  Boolean has = 1;
  desc->HasKey(result, keyMessage, &has);
  EXPECT_EQ(0, has);
  desc->Free(result);
  desc->Free(parameters);
}

// What a benchmark takes a plug-in's own time from: the host's calls since StartCallSpan, the
// outermost ones only (a Play counts once, with the calls its handler makes), and the gaps between
// them, which with the time inside the calls make up the span exactly.
TEST_F(ControlSuite, CallSpanHoldsTheOutermostCallsAndTheGapsBetweenThem) {
  host.RegisterEvent(FourCC("Expr"), [&](DescriptorEventID, const zk::DescriptorData*, PIDialogPlayOptions,
                                         zk::DescriptorData*) {
    PIActionDescriptor inner = nullptr;
    desc->Make(&inner);
    desc->Free(inner);
    return OSErr(0);
  });
  PIActionDescriptor parameters = NewDescriptor();  // before the span: not in it
  zk::HostBookkeeping& book = host.Book();
  book.StartCallSpan();
  EXPECT_EQ(0, book.CallsSinceStart().calls);
  const int64_t insideBefore = book.ProcedureTicks();
  PIActionDescriptor result = nullptr;
  EXPECT_EQ(0, control->Play(&result, FourCC("Expr"), parameters, plugInDialogSilent));
  desc->Free(result);
  desc->Free(parameters);
  const zk::HostBookkeeping::CallSpan span = book.CallsSinceStart();
  EXPECT_EQ(3, span.calls);  // Play and the two Frees, not the handler's own calls
  EXPECT_GE(span.betweenTicks, 0);
  EXPECT_EQ(span.lastLeft - span.firstEntered, span.betweenTicks + (book.ProcedureTicks() - insideBefore));
  book.StartCallSpan();
  EXPECT_EQ(0, book.CallsSinceStart().calls);
}

TEST_F(ControlSuite, GetAsksTheResolver) {
  PIActionReference r = nullptr;
  ref->Make(&r);
  ref->PutEnumerated(r, classDocument, typeOrdinal, enumTarget);
  PIActionDescriptor result = NewDescriptor();
  desc->Free(result);
  EXPECT_EQ(zk::kStandInNoSuchObject, control->Get(&result, r));
  EXPECT_EQ(nullptr, result);

  host.SetGetResolver([](const zk::ReferenceData& reference, zk::DescriptorData* out) {
    if (reference.elements.empty() || reference.elements[0].desiredClass != classDocument) {
      return zk::kStandInNoSuchObject;
    }
    zk::ActionValue width;
    width.type = typeInteger;
    width.integer = 640;
    out->Put(FourCC("Wdth"), width);
    return OSErr(0);
  });
  EXPECT_EQ(0, control->Get(&result, r));
  int32_t width = 0;
  EXPECT_EQ(0, desc->GetInteger(result, FourCC("Wdth"), &width));
  EXPECT_EQ(640, width);
  desc->Free(result);
  ref->Free(r);
  EXPECT_EQ(0u, host.Objects().Live().Total());
}

TEST_F(ControlSuite, NotificationsAreNotImplemented) {
  EXPECT_EQ(zk::kStandInNotImplemented, control->AddNotify(nullptr, FourCC("Opn "), nullptr, nullptr));
  EXPECT_EQ(zk::kStandInNotImplemented, control->RemoveNotify(nullptr, FourCC("Opn ")));
}

}  // namespace
