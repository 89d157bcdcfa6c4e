#include "DocumentRows.h"

#include <cmath>
#include <cstdio>

#include "HostCodes.h"
#include "NarrowTextEncoding.h"
#include "PixelUnits.h"
#include "ReportText.h"
#include "StandardUtf8.h"

namespace {

using ZentrastMisc::AutomationUtils::UnitValueToPixels;

// One document's answer to each row that reads a document.
struct RowAnswers {
  std::string fileType;   // P8
  std::string fileText;   // P2
  std::string fileReading;  // P7
  std::string title;      // P10
  std::string units;      // D1
  std::string integers;   // D2
  std::string dirty;      // D3
  std::string keys;       // D4
};

std::string TypeText(const KeyFacts& key) {
  if (key.status != 0) return "status " + StatusText(key.status);
  return key.present ? CodeText(key.type) : "absent";
}

std::string MeasureText(const MeasureFacts& measure) {
  if (!measure.present || measure.status != 0 || measure.type != typeUnitFloat) return TypeText(measure);
  return CodeText(measure.type) + " " + CodeText(measure.unit);
}

// What GetInteger gave for a unit double, against the numbers it could have been.
std::string IntegerText(const MeasureFacts& measure, double resolution) {
  if (!measure.present) return "absent";
  if (measure.integerStatus != 0) return "status " + StatusText(measure.integerStatus);
  const double pixels = UnitValueToPixels(measure.value, measure.unit, resolution);
  const auto matches = [&](double number) { return std::isfinite(number) && double(measure.integer) == number; };
  if (matches(std::trunc(measure.value))) return "status 0, the whole part of the value";
  if (matches(std::round(measure.value))) return "status 0, the value rounded";
  if (matches(std::trunc(pixels)) || matches(std::round(pixels))) return "status 0, the value in pixels";
  return "status 0, another number";
}

std::string FileTextAnswer(const DocumentFacts& facts) {
  if (!facts.file.present || facts.file.status != 0) return TypeText(facts.file);
  if (facts.cloudStatus == 0 && facts.cloud != 0) return "a cloud document, no file";
  if (facts.filePathStatus != 0) return "cannot tell: no whole path (" + StatusText(facts.filePathStatus) + ")";
  return NarrowTextEncoding(facts.fileBytes.substr(0, facts.fileBytes.find('\0')), facts.filePath);
}

// IsCloudFile of the file reference, then what the plug-in's own path reading makes of it: a host
// that refuses either there leaves the bridge no file to check a raw open against.
std::string FileReadingAnswer(const DocumentFacts& facts) {
  if (!facts.file.present || facts.file.status != 0) return TypeText(facts.file);
  std::string answer = facts.cloudStatus == kSPSuiteNotFoundError ? "IsCloudFile: no alias suite"
                       : facts.cloudStatus != 0                   ? "IsCloudFile " + StatusText(facts.cloudStatus)
                                                                  : "IsCloudFile " + std::to_string(facts.cloud);
  if (!facts.pluginReadsPath) return answer + "; the plug-in reads no path";
  if (facts.filePathStatus != 0) return answer + "; the plug-in reads a path";
  return answer + (facts.pluginPath == facts.filePath ? "; the plug-in reads the path" : "; the plug-in reads another path");
}

std::string TitleAnswer(const DocumentFacts& facts) {
  if (!facts.title.present || facts.title.status != 0) return TypeText(facts.title);
  if (facts.titleWholeStatus != 0) return "cannot tell: GetZString " + StatusText(facts.titleWholeStatus);
  return NarrowTextEncoding(facts.titleBytes, facts.titleWhole);
}

RowAnswers AnswersOf(const DocumentFacts& facts) {
  RowAnswers answers;
  answers.fileType = TypeText(facts.file);
  answers.fileText = FileTextAnswer(facts);
  answers.fileReading = FileReadingAnswer(facts);
  answers.title = TitleAnswer(facts);
  answers.units = "'Wdth' " + MeasureText(facts.width) + ", 'Hght' " + MeasureText(facts.height) + ", 'Rslt' " +
                  MeasureText(facts.resolution);
  const std::string width = IntegerText(facts.width, facts.resolution.value);
  const std::string height = IntegerText(facts.height, facts.resolution.value);
  answers.integers = width == height ? width : "'Wdth' " + width + "; 'Hght' " + height;
  answers.dirty = facts.dirty.present && facts.dirty.status == 0 ? (facts.dirtyValue ? "true" : "false")
                                                                   : TypeText(facts.dirty);
  answers.keys = std::to_string(facts.keyCount) + " keys";
  return answers;
}

// The rows a document answers, in report order, with the answer each takes from it.
struct Row {
  const char* id;
  std::string RowAnswers::*answer;
};
const Row kRows[] = {
    {"P8", &RowAnswers::fileType}, {"P2", &RowAnswers::fileText}, {"P7", &RowAnswers::fileReading},
    {"P10", &RowAnswers::title},
    {"D1", &RowAnswers::units},    {"D2", &RowAnswers::integers}, {"D3", &RowAnswers::dirty},
    {"D4", &RowAnswers::keys},
};

}  // namespace

std::vector<std::string> DocumentRowIds() {
  std::vector<std::string> ids;
  for (const Row& row : kRows) ids.emplace_back(row.id);
  return ids;
}

std::vector<std::pair<std::string, std::string>> DocumentRowAnswers(const DocumentFacts& facts) {
  const RowAnswers answers = AnswersOf(facts);
  std::vector<std::pair<std::string, std::string>> rows;
  for (const Row& row : kRows) rows.emplace_back(row.id, answers.*row.answer);
  return rows;
}

void ReportDocumentRows(CheckReport& report, const std::string& who, const DocumentFacts& facts) {
  for (const auto& [row, answer] : DocumentRowAnswers(facts)) report.Section(row).Answer(who, answer);
}

void ReportDocumentRowsNotAsked(CheckReport& report, const std::string& who, const std::string& why) {
  for (const std::string& row : DocumentRowIds()) report.Section(row).Answer(who, "not asked: " + why);
}

std::string DocumentNote(const DocumentFacts& facts) {
  std::string note = "title \"" + UnitsToStandardUtf8(facts.titleWhole) + "\" (GetString " + HexBytes(facts.titleBytes) +
                     "; GetZString " + HexUnits(facts.titleWhole) + ")";
  if (facts.file.present) {
    note += ", file \"" + UnitsToStandardUtf8(facts.filePath) + "\" (8-bit " +
            HexBytes(facts.fileBytes.substr(0, facts.fileBytes.find('\0'))) + "; UTF-16 " + HexUnits(facts.filePath) +
            "; the whole alias " + std::to_string(facts.fileBytes.size()) + " bytes)";
  } else {
    note += ", no file";
  }
  char numbers[160] = {};
  std::snprintf(numbers, sizeof numbers, ", %g x %g at %g, depth %d, 'DocI' %d, longest text %u bytes, read in %.1f ms",
                facts.width.value, facts.height.value, facts.resolution.value, int(facts.depthValue),
                int(facts.idValue), unsigned(facts.longestText), facts.readMilliseconds);
  return note + numbers;
}
