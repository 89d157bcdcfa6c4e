// A small line plot drawn into a PNG without any font beyond the digits: axes, grid, tick numbers
// and one coloured line per series; the legend (colour to name) is written beside it in text.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct PlotSeries {
  std::string name;
  uint32_t rgb = 0;
  std::vector<std::pair<double, double>> points;  // x, y
};

// False when the file cannot be written.
bool WritePlot(const std::string& path, const std::vector<PlotSeries>& series);
