// The benchmarking companion's results file read back: one row per repetition of a measurement,
// and the statistics of a figure over the repetitions (median, lowest, highest).
#pragma once

#include <map>
#include <string>
#include <vector>

struct Row {
  std::string kind, name, size;  // "small" / "image", the request, documents open or WIDTHxHEIGHT
  int depth = 0;
  std::map<std::string, double> values;
};

// Rows of the file; lines that say a measurement failed go to failures as they are.
std::vector<Row> ReadRows(const std::wstring& path, std::vector<std::string>* failures);

std::vector<Row> Select(const std::vector<Row>& rows, const std::string& kind, const std::string& name,
                        const std::string& size, int depth);

// NaN when the row has no such figure.
double Value(const std::map<std::string, double>& values, const char* key);

struct Stat {
  double median, low, high;
  Stat Scaled(double factor) const { return {median * factor, low * factor, high * factor}; }
};

Stat StatOf(const std::vector<Row>& rows, const std::string& key);

// A figure computed from each row (e.g. the round trip less the host's time), then its statistics.
template <class Compute>
Stat StatOfComputed(const std::vector<Row>& rows, Compute compute) {
  std::vector<Row> computed = rows;
  for (Row& row : computed) row.values["computed"] = compute(row.values);
  return StatOf(computed, "computed");
}

double Median(std::vector<double> values);
long long Pixels(const std::string& size);  // of "WIDTHxHEIGHT"
