#include "BenchResults.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "BenchShared.h"

using zkbench::Narrow;

std::vector<Row> ReadRows(const std::wstring& path, std::vector<std::string>* failures) {
  std::vector<Row> rows;
  std::ifstream file(Narrow(path));
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("failed,", 0) == 0) {
      failures->push_back(line);
      continue;
    }
    std::vector<std::string> parts;
    std::stringstream split(line);
    std::string part;
    while (std::getline(split, part, ',')) parts.push_back(part);
    if (parts.size() < 5) continue;
    Row row{parts[0], parts[1], parts[2], std::atoi(parts[3].c_str()), {}};
    for (size_t i = 5; i < parts.size(); ++i) {
      const size_t equals = parts[i].find('=');
      if (equals != std::string::npos) row.values[parts[i].substr(0, equals)] = std::atof(parts[i].c_str() + equals + 1);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<Row> Select(const std::vector<Row>& rows, const std::string& kind, const std::string& name,
                        const std::string& size, int depth) {
  std::vector<Row> selected;
  for (const Row& row : rows) {
    if (row.kind == kind && row.name == name && row.size == size && row.depth == depth) selected.push_back(row);
  }
  return selected;
}

double Value(const std::map<std::string, double>& values, const char* key) {
  const auto found = values.find(key);
  return found == values.end() ? NAN : found->second;
}

double Median(std::vector<double> values) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Stat StatOf(const std::vector<Row>& rows, const std::string& key) {
  std::vector<double> values;
  for (const Row& row : rows) values.push_back(Value(row.values, key.c_str()));
  if (values.empty()) return {NAN, NAN, NAN};
  return {Median(values), *std::min_element(values.begin(), values.end()), *std::max_element(values.begin(), values.end())};
}

long long Pixels(const std::string& size) {
  const size_t x = size.find('x');
  if (x == std::string::npos) return 0;
  return std::atoll(size.c_str()) * std::atoll(size.c_str() + x + 1);
}
