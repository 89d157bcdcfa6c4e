#include "CheckReport.h"

namespace {

struct Question {
  const char* id;
  const char* title;
};

// The report's order: what the check reads first, then what needs the person's agreement.
constexpr Question kQuestions[] = {
    {"S1", "The suites the plug-in uses, at every version from 1 to the one it asks for"},
    {"P3", "The alias utility suite (\"Photoshop Alias Utility Suite\"), versions 1 and 2, and a path through it"},
    {"P5", "What the bytes of an alias made by the alias suite hold"},
    {"P6", "AliasToUnicodePath with a buffer shorter than the path and its zero"},
    {"P1", "An alias the plug-in fills with 8-bit text, as the host reads it back"},
    {"A1", "The application's number of documents ('NmbD')"},
    {"P8", "'FilR' value type"},
    {"P2", "'FilR' read with GetAlias: the 8-bit text at the handle's start"},
    {"P7", "'FilR' as the plug-in reads it: IsCloudFile, then its own path reading"},
    {"P9", "'FilR' spelling against the path an open asked for"},
    {"P10", "'Ttl ' read with GetString, against its ZString form"},
    {"D1", "'Wdth', 'Hght' and 'Rslt' of a document: types and units"},
    {"D2", "GetInteger of a key stored as a unit double ('Wdth', 'Hght')"},
    {"D3", "'IsDr' of a document just opened or made"},
    {"D4", "A whole document (Get of a document without a property)"},
    {"E1", "'Opn ' through the raw converter: option 0 (don't display), 'BtDp' 'BD16'"},
    {"E4", "'BtDp' in the 'As  ' object: the depth the document opened at"},
    {"E5", "Whether the raw converter shows its dialog when the open is played with option 0"},
    {"E3", "'Opn ' of a file that is open already"},
    {"E2", "'Opn ' with the raw converter's dialog shown, cancelled by the person"},
    {"E7", "'Mk  ' of a new document (File > New)"},
    {"C1", "What the check left: the documents it opened or made, the others"},
};

constexpr char kLineEnd[] = "\r\n";

std::string OneLine(const std::string& text) {
  std::string line;
  for (const char character : text) {
    if (character == '\r') continue;
    line += character == '\n' ? std::string("\\n") : std::string(1, character);
  }
  return line;
}

}  // namespace

void ReportSection::Answer(const std::string& name, const std::string& value) {
  lines_.push_back(OneLine(name) + ": " + OneLine(value));
}

bool ReportSection::HasAnswer(const std::string& name) const {
  for (const std::string& line : lines_) {
    if (line.rfind(name + ": ", 0) == 0) return true;
  }
  return false;
}

void ReportSection::Note(const std::string& text) { lines_.push_back("# " + OneLine(text)); }

CheckReport::CheckReport() {
  for (const Question& question : kQuestions) sections_.emplace_back(question.id, question.title);
}

ReportSection& CheckReport::Section(const std::string& id) {
  for (ReportSection& section : sections_) {
    if (section.Id() == id) return section;
  }
  sections_.emplace_back(id, "(a question this report does not list)");
  return sections_.back();
}

std::string CheckReport::Text() const {
  std::string text = std::string("Zentrast Kolvane host check") + kLineEnd;
  text += "format: " + std::to_string(kReportFormat) + kLineEnd;
  for (const std::string& note : headerNotes_) text += "# " + note + kLineEnd;
  for (const ReportSection& section : sections_) {
    text += kLineEnd;
    text += "[" + section.Id() + "] " + section.Title() + kLineEnd;
    for (const std::string& line : section.Lines()) text += line + kLineEnd;
  }
  return text;
}
