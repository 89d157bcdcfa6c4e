// The host check's report: one section per question, in a fixed order, each under a stable ID
// (docs/host-fidelity.md names the rows by the same IDs). A section holds answer lines
// "name: value", which say how the host behaves and are what scripts/host-check-diff.sh compares
// between two hosts, and note lines "# ...", which describe this computer and its files (paths,
// titles, raw bytes) and are not compared.
//
//   CheckReport report;
//   report.Section("A1").Answer("'NmbD' type", CodeText(type));
//   report.Section("A1").Note("documents open: 3");
//   std::string text = report.Text();   // UTF-8, CR LF line ends
#pragma once

#include <string>
#include <vector>

class ReportSection {
 public:
  ReportSection(std::string id, std::string title) : id_(std::move(id)), title_(std::move(title)) {}

  // A line break inside a value (a host's message, a title) is written as "\n": one line stays one.
  void Answer(const std::string& name, const std::string& value);
  void Note(const std::string& text);
  void NotAsked(const std::string& why) { Answer("not asked", why); }
  // Whether the section has an answer line of that name.
  bool HasAnswer(const std::string& name) const;

  const std::string& Id() const { return id_; }
  const std::string& Title() const { return title_; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::string id_;
  std::string title_;
  std::vector<std::string> lines_;
};

class CheckReport {
 public:
  CheckReport();  // every section, in report order, still empty

  // The section of that ID; an ID the report does not know is a programming fault and lands in a
  // section of its own at the end rather than being lost.
  ReportSection& Section(const std::string& id);
  // Notes before the first section: what ran where.
  void HeaderNote(const std::string& text) { headerNotes_.push_back(text); }

  std::string Text() const;

 private:
  std::vector<std::string> headerNotes_;
  std::vector<ReportSection> sections_;
};

// The report format's version, written in its header: a reader of reports compares only reports of
// the same format.
constexpr int kReportFormat = 1;
