#include "AliasQuestions.h"

#include <algorithm>
#include <vector>

#include "AskQuestion.h"
#include "DescriptorHelpers.h"
#include "HostHandleBytes.h"
#include "HostObjectOwners.h"
#include "HostPaths.h"
#include "HostText.h"
#include "InnerText.h"
#include "LongestPath.h"
#include "NarrowTextEncoding.h"
#include "ReportText.h"
#include "StandardUtf8.h"

namespace {

// No file needs to be there: the host is only asked to make aliases of it and give them back. A
// letter most Western code pages hold, two that they do not, and one beyond U+FFFF.
const std::u16string kFixedPath = u"C:\\Zentrast Kolvane Host Check\\J\u00FCrgen\\\u5199\u771F \U0001F600.CR2";
constexpr uint16_t kUntouched = 0xFFFF;
constexpr size_t kShownAliasBytes = 96;

const uint16_t* Units(const std::u16string& text) { return reinterpret_cast<const uint16_t*>(text.c_str()); }

// What came back against what went in.
std::string SamePath(int32_t status, const std::u16string& back, const std::u16string& path) {
  if (status != 0) return StatusText(status);
  return back == path ? "the same path" : "another path";
}

// An alias of the fixed path through the suite's version 2 maker, or null.
HostHandleHolder SuiteAlias(const PSAliasSuite2& aliases, int32_t* status) {
  AliasHandle made = nullptr;
  *status = aliases.UnicodePathToAlias(Units(kFixedPath), &made);
  HostHandleHolder alias(made);
  if (*status == 0 && !alias) *status = kSPOutOfMemoryError;
  return alias;
}

void AskPathsThroughTheSuite(ReportSection& section, const PSAliasSuite2& aliases) {
  section.Note("fixed path: " + UnitsToStandardUtf8(kFixedPath) + " (units " + HexUnits(kFixedPath) + ")");
  int32_t made = 0;
  const HostHandleHolder alias = SuiteAlias(aliases, &made);
  std::u16string back;
  const int32_t read = made == 0 ? AliasUnicodePath(alias.Get(), &back) : made;
  section.Answer("UnicodePathToAlias, back with AliasToUnicodePath", SamePath(read, back, kFixedPath));
  if (read == 0 && back != kFixedPath) section.Note("came back: units " + HexUnits(back));

  SuiteHolderOf<PSAliasSuite1> first(kPSAliasSuite, kPSAliasSuiteVersion1);
  if (const PSAliasSuite1* older = first.Find()) {
    AliasHandle wide = nullptr;
    const int32_t status = older->WinNewAliasFromWidePath(Units(kFixedPath), &wide);
    const HostHandleHolder fromWide(wide);
    std::u16string again;
    const int32_t readAgain = status == 0 ? AliasUnicodePath(fromWide.Get(), &again) : status;
    section.Answer("WinNewAliasFromWidePath (version 1), back with AliasToUnicodePath",
                   SamePath(readAgain, again, kFixedPath));
  } else {
    section.Answer("WinNewAliasFromWidePath (version 1), back with AliasToUnicodePath", "not asked: no version 1");
  }

  SPBoolean cloud = 0;
  const int32_t cloudStatus = alias ? aliases.IsCloudFile(alias.Get(), &cloud) : made;
  section.Answer("IsCloudFile of it", cloudStatus == 0 ? std::to_string(cloud) : StatusText(cloudStatus));
}

// The module's own way: MakePathAlias, then AliasFilePath, whichever form the host allows.
void AskPathsThroughTheModule(ReportSection& section) {
  const std::string path = UnitsToInnerText(kFixedPath.data(), kFixedPath.size());
  HostHandleHolder alias;
  const int32_t made = MakePathAlias(path, alias);
  std::string back;
  std::string answer;
  if (IsModuleStatus(made)) {
    answer = "not carried: the path cannot reach the host as it is";
  } else if (made != 0) {
    answer = StatusText(made);
  } else if (!AliasFilePath(alias.Get(), &back)) {
    answer = "made, but no path came back";
  } else {
    answer = back == path ? "the same path" : "another path";
  }
  section.Answer("the plug-in's own path layer (MakePathAlias, then AliasFilePath)", answer);
}

void AskAliasBytes(ReportSection& section, const PSAliasSuite2& aliases) {
  int32_t made = 0;
  const HostHandleHolder alias = SuiteAlias(aliases, &made);
  if (made != 0) {
    section.Answer("UnicodePathToAlias", StatusText(made));
    return;
  }
  const std::string bytes = HostHandleBytes(alias.Get());
  const std::string text = bytes.substr(0, bytes.find('\0'));
  std::string start;
  if (bytes.empty()) {
    start = "no bytes";
  } else if (text.empty()) {
    start = "none, it starts with a zero";
  } else if (text == AnsiTextAsSystemConverts(kFixedPath)) {
    start = "the path in the ANSI code page";
  } else if (text == UnitsToStandardUtf8(kFixedPath)) {
    start = "the path in UTF-8";
  } else {
    start = "other text";
  }
  section.Answer("8-bit text at its start", start);
  section.Note("size: " + std::to_string(bytes.size()) + " bytes; the first ones: " +
               HexBytes(bytes.substr(0, kShownAliasBytes)));
}

// Asks for the path into a buffer said to hold count units: the status, and how many units the
// host wrote. The buffer really holds the longest path, filled with kUntouched, so that a host
// that writes past the length it was given shows it here instead of writing into other memory.
std::string ShortBuffer(const PSAliasSuite2& aliases, Handle alias, uint32_t count) {
  std::vector<uint16_t> buffer(kLongestPathUnits, kUntouched);
  const int32_t status = aliases.AliasToUnicodePath(alias, buffer.data(), count);
  const auto untouched = [](uint16_t unit) { return unit == kUntouched; };
  const auto written = buffer.size() - size_t(std::count_if(buffer.begin(), buffer.end(), untouched));
  const auto past = size_t(buffer.size() - count) -
                    size_t(std::count_if(buffer.begin() + count, buffer.end(), untouched));
  std::string text = StatusText(status) + ", " + std::to_string(written) + " units written";
  if (past != 0) text += ", " + std::to_string(past) + " of them past the length given";
  return text;
}

void AskShortBuffers(ReportSection& section, const PSAliasSuite2& aliases) {
  int32_t made = 0;
  const HostHandleHolder alias = SuiteAlias(aliases, &made);
  if (made != 0) {
    section.Answer("UnicodePathToAlias", StatusText(made));
    return;
  }
  section.Note("the path has " + std::to_string(kFixedPath.size()) + " units");
  section.Answer("a buffer as long as the path, no room for its zero",
                 ShortBuffer(aliases, alias.Get(), uint32_t(kFixedPath.size())));
  section.Answer("a buffer of 4 units", ShortBuffer(aliases, alias.Get(), 4));
}

// A letter outside ASCII that the ANSI code page holds as it is, so that its 8-bit forms in the code
// page and in UTF-8 differ; none on a system whose code page is UTF-8.
bool ProbeLetter(char16_t* letter) {
  for (const char16_t candidate : {u'\u00FC', u'\u00E9', u'\u0416', u'\u03B1', u'\u30C6', u'\u4E2D', u'\uD55C'}) {
    const std::u16string text(1, candidate);
    std::string ansi;
    const std::string inner = UnitsToInnerText(text.data(), text.size());
    if (InnerTextToAnsiText(inner, &ansi) && ansi != UnitsToStandardUtf8(text)) {
      *letter = candidate;
      return true;
    }
  }
  return false;
}

// The host's reading of an alias that holds bytes as 8-bit text: "the path", or what it did.
std::string ReadBack(const std::string& bytes, const std::u16string& path, std::u16string* back) {
  Handle made = nullptr;
  FullPathToAlias(bytes.c_str(), made);
  const HostHandleHolder alias(made);
  if (!alias) return "the host gave no memory for the alias";
  const int32_t status = AliasUnicodePath(alias.Get(), back);
  if (status != 0) return StatusText(status);
  return *back == path ? "the path" : "another path";
}

void AskEightBitAliases(ReportSection& section) {
  char16_t letter = 0;
  if (!ProbeLetter(&letter)) {
    section.Answer("8-bit aliases are read in", "cannot tell: the ANSI code page here is UTF-8");
    return;
  }
  const std::u16string path = u"C:\\Zentrast Kolvane Host Check\\J" + std::u16string(1, letter) + u"rgen.CR2";
  std::string ansi;
  InnerTextToAnsiText(UnitsToInnerText(path.data(), path.size()), &ansi);
  const std::string utf8 = UnitsToStandardUtf8(path);
  section.Note("path: " + utf8 + "; in the ANSI code page " + HexBytes(ansi) + "; in UTF-8 " + HexBytes(utf8));
  std::u16string fromAnsi, fromUtf8;
  const std::string ansiAnswer = ReadBack(ansi, path, &fromAnsi);
  const std::string utf8Answer = ReadBack(utf8, path, &fromUtf8);
  section.Answer("its ANSI code page bytes, back with AliasToUnicodePath", ansiAnswer);
  section.Answer("its UTF-8 bytes, back with AliasToUnicodePath", utf8Answer);
  if (ansiAnswer == "another path") section.Note("the ANSI bytes came back as units " + HexUnits(fromAnsi));
  if (utf8Answer == "another path") section.Note("the UTF-8 bytes came back as units " + HexUnits(fromUtf8));
  std::string reading = "neither the ANSI code page nor UTF-8";
  if (ansiAnswer == "the path") reading = "the ANSI code page";
  if (utf8Answer == "the path") reading = ansiAnswer == "the path" ? "either" : "UTF-8";
  section.Answer("8-bit aliases are read in", reading);
}

}  // namespace

void AskAliasQuestions(CheckReport& report) {
  const PSAliasSuite2* aliases = sPSAlias.Find();
  const std::string none = "the host has no alias suite (version 2)";
  ReportSection& paths = report.Section("P3");
  if (aliases != nullptr) {
    AskQuestion(paths, [&] { AskPathsThroughTheSuite(paths, *aliases); });
  } else {
    paths.Answer("UnicodePathToAlias, back with AliasToUnicodePath", "not asked: " + none);
  }
  AskQuestion(paths, [&] { AskPathsThroughTheModule(paths); });
  if (aliases == nullptr) {
    report.Section("P5").NotAsked(none);
    report.Section("P6").NotAsked(none);
    return;
  }
  AskQuestion(report.Section("P5"), [&] { AskAliasBytes(report.Section("P5"), *aliases); });
  AskQuestion(report.Section("P6"), [&] { AskShortBuffers(report.Section("P6"), *aliases); });
}

void AskEightBitAliasQuestion(CheckReport& report) {
  ReportSection& section = report.Section("P1");
  if (sPSAlias.Find() == nullptr) {
    section.NotAsked("the host has no alias suite (version 2) to read an alias back");
    return;
  }
  AskQuestion(section, [&] { AskEightBitAliases(section); });
}
