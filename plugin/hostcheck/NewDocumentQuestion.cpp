#include "NewDocumentQuestion.h"

#include "AskQuestion.h"
#include "DocumentFacts.h"
#include "DocumentRows.h"
#include "HostCallChain.h"
#include "HostCodes.h"
#include "HostObjectOwners.h"
#include "ReportText.h"
#include "StandardUtf8.h"

namespace {

// A new document whose sides are no whole number of points at its resolution (107 and 61 pixels
// at 300 pixels per inch are 25.68 and 14.64 points), so that an integer read of them tells
// truncating, rounding and pixels apart.
constexpr double kNewWidthPixels = 107;
constexpr double kNewHeightPixels = 61;
constexpr double kNewResolution = 300;
// Given whole (a ZString), so that its 8-bit form tells the host's narrow encoding too.
const std::u16string kNewTitle = u"Zentrast Kolvane Pr\u00FCfung";

// What the host's MakeFromUnicode takes its count for, bytes or 16-bit units (its declaration names
// a byte count; what hosts do is not published): four units with a count of four, of which a host
// that counts bytes takes two.
std::string MakeFromUnicodeCount() {
  std::u16string probe = u"ABCD";
  ZStringHolder made;
  const int32_t status =
      sASZString->MakeFromUnicode(reinterpret_cast<ASUnicode*>(&probe[0]), probe.size(), made.Address());
  if (status != 0) return StatusText(status);
  // Read back into room for more than it can hold, up to its zero (whether a host's lengths count
  // the zero is not published).
  ASUnicode back[16] = {};
  const int32_t read = sASZString->AsUnicodeCString(made.Get(), back, 16, false);
  if (read != 0) return "cannot tell: AsUnicodeCString " + StatusText(read);
  size_t length = 0;
  while (length < 15 && back[length] != 0) ++length;
  if (length == 4) return "16-bit units";
  if (length == 2) return "bytes";
  return "cannot tell: it took " + std::to_string(length) + " of 4 units";
}

void AskMake(CheckReport& report, CheckDocuments& own) {
  ReportSection& made = report.Section("E7");
  made.Answer("asked", "'Mk  ' with 'Nw  ' an object of class 'Dcmn': 'Nm  ' \"" + UnitsToStandardUtf8(kNewTitle) +
                           "\" (a ZString), 'Md  ' 'RGBM', 'Wdth' 107 '#Pxl', 'Hght' 61 '#Pxl', 'Rslt' 300 '#Rsl', 'Dpth' 8, "
                           "'Fl  ' 'Wht '; option 2 (silent)");
  made.Answer("MakeFromUnicode's count, taken as", MakeFromUnicodeCount());
  DescriptorHolder settings;
  DescriptorHolder event;
  ZStringHolder title;
  // The title's units, then as many zeros, counted in bytes: a host that counts bytes takes the
  // title, one that counts units takes the title and its zeros. Either way the title reads the same.
  std::u16string titleUnits = kNewTitle + std::u16string(kNewTitle.size(), u'\0');
  HostCallChain chain;
  chain.Then([&] { return MakeDescriptor(settings); })
      .Then([&] { return MakeDescriptor(event); })
      .Then([&] {
        return sASZString->MakeFromUnicode(reinterpret_cast<ASUnicode*>(&titleUnits[0]),
                                           kNewTitle.size() * sizeof(char16_t), title.Address());
      })
      .Then([&] { return sPSActionDescriptor->PutZString(settings.Get(), keyName, title.Get()); })
      .Then([&] { return sPSActionDescriptor->PutClass(settings.Get(), keyMode, classRGBColorMode); })
      .Then([&] { return sPSActionDescriptor->PutUnitFloat(settings.Get(), keyWidth, unitPixels, kNewWidthPixels); })
      .Then([&] { return sPSActionDescriptor->PutUnitFloat(settings.Get(), keyHeight, unitPixels, kNewHeightPixels); })
      .Then([&] { return sPSActionDescriptor->PutUnitFloat(settings.Get(), keyResolution, unitDensity, kNewResolution); })
      .Then([&] { return sPSActionDescriptor->PutInteger(settings.Get(), keyDepth, 8); })
      .Then([&] { return sPSActionDescriptor->PutEnumerated(settings.Get(), keyFill, keyFill, enumWhite); })
      .Then([&] { return sPSActionDescriptor->PutObject(event.Get(), keyNew, classDocument, settings.Get()); });
  if (!chain.Going()) {
    made.Answer("the event could not be built", StatusText(chain.Status()));
    ReportDocumentRowsNotAsked(report, "new document", "the event could not be built");
    return;
  }
  const PlayAnswer answer = PlayWatched(eventMake, event.Get(), plugInDialogSilent);
  ReportPlay(made, answer, false);
  const std::vector<uint32_t> added = AddedDocuments(answer.before, answer.after);
  DocumentFacts facts;
  if (added.size() == 1 && answer.after.hasTarget && answer.after.target == added.front() &&
      ReadTargetDocumentFacts(&facts) == 0) {
    made.Answer("'Ttl '", facts.titleWholeStatus != 0 ? "cannot tell: GetZString " + StatusText(facts.titleWholeStatus)
                          : facts.titleWhole == kNewTitle      ? "as asked"
                                                               : "another title");
    made.Note("new document: " + DocumentNote(facts));
    ReportDocumentRows(report, "new document", facts);
  } else {
    ReportDocumentRowsNotAsked(report, "new document", "the play added no document that could be read");
  }
  CloseAdded(answer.before, answer.after, own);
}

}  // namespace

void AskNewDocumentQuestion(CheckReport& report, CheckDocuments& own) {
  AskQuestion(report.Section("E7"), [&] { AskMake(report, own); });
}

void SkipNewDocumentQuestion(CheckReport& report, const std::string& why) {
  if (report.Section("E7").Lines().empty()) report.Section("E7").NotAsked(why);
  if (!report.Section("D1").HasAnswer("new document")) ReportDocumentRowsNotAsked(report, "new document", why);
}

