#include "BenchPlot.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

constexpr int kWidth = 900, kHeight = 600, kLeft = 70, kRight = 20, kTop = 20, kBottom = 50;

// 3 x 5 digits and a dot.
const char* const kGlyphs[11] = {"111101101101111", "010110010010111", "111001111100111", "111001111001111",
                                 "101101111001001", "111100111001111", "111100111101111", "111001001001001",
                                 "111101111101111", "111101111001111", "000000000000010"};

struct Canvas {
  std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t(kWidth) * kHeight * 3, 255);
  void Dot(int x, int y, uint32_t rgb) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
    uint8_t* p = &pixels[(size_t(y) * kWidth + x) * 3];
    p[0] = uint8_t(rgb >> 16);
    p[1] = uint8_t(rgb >> 8);
    p[2] = uint8_t(rgb);
  }
  void Line(int x0, int y0, int x1, int y1, uint32_t rgb, int thickness = 1) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1;
    for (int i = 0; i <= steps; ++i) {
      const int x = x0 + (x1 - x0) * i / steps, y = y0 + (y1 - y0) * i / steps;
      for (int dx = 0; dx < thickness; ++dx)
        for (int dy = 0; dy < thickness; ++dy) Dot(x + dx - thickness / 2, y + dy - thickness / 2, rgb);
    }
  }
  void Text(int x, int y, const std::string& text, int scale = 2) {
    for (const char c : text) {
      const int glyph = c == '.' ? 10 : (c >= '0' && c <= '9' ? c - '0' : -1);
      if (glyph >= 0) {
        for (int row = 0; row < 5; ++row)
          for (int column = 0; column < 3; ++column)
            if (kGlyphs[glyph][row * 3 + column] == '1')
              for (int sx = 0; sx < scale; ++sx)
                for (int sy = 0; sy < scale; ++sy) Dot(x + column * scale + sx, y + row * scale + sy, 0x000000);
      }
      x += 4 * scale;
    }
  }
};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, value >= 10 || value == 0 ? "%.0f" : "%.1f", value);
  return text;
}

double NiceStep(double range) {
  const double raw = range / 6;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (raw <= factor * power) return factor * power;
  return 10 * power;
}

}  // namespace

bool WritePlot(const std::string& path, const std::vector<PlotSeries>& series) {
  double maxX = 0, maxY = 0;
  for (const PlotSeries& s : series)
    for (const auto& point : s.points) {
      if (std::isfinite(point.first)) maxX = std::max(maxX, point.first);
      if (std::isfinite(point.second)) maxY = std::max(maxY, point.second);
    }
  if (maxX <= 0) maxX = 1;
  if (maxY <= 0) maxY = 1;
  const double stepX = NiceStep(maxX), stepY = NiceStep(maxY);
  maxX = std::ceil(maxX / stepX) * stepX;
  maxY = std::ceil(maxY / stepY) * stepY;
  Canvas canvas;
  const int plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
  auto px = [&](double x) { return kLeft + int(std::lround(x / maxX * plotWidth)); };
  auto py = [&](double y) { return kTop + plotHeight - int(std::lround(y / maxY * plotHeight)); };
  for (double x = 0; x <= maxX + stepX / 2; x += stepX) {
    canvas.Line(px(x), kTop, px(x), kTop + plotHeight, 0xDDDDDD);
    canvas.Text(px(x) - 8, kTop + plotHeight + 10, Number(x));
  }
  for (double y = 0; y <= maxY + stepY / 2; y += stepY) {
    canvas.Line(kLeft, py(y), kLeft + plotWidth, py(y), 0xDDDDDD);
    const std::string label = Number(y);
    canvas.Text(kLeft - 8 - int(label.size()) * 8, py(y) - 5, label);
  }
  canvas.Line(kLeft, kTop, kLeft, kTop + plotHeight, 0x000000);
  canvas.Line(kLeft, kTop + plotHeight, kLeft + plotWidth, kTop + plotHeight, 0x000000);
  for (const PlotSeries& s : series) {
    for (size_t i = 0; i < s.points.size(); ++i) {
      const int x = px(s.points[i].first), y = py(s.points[i].second);
      for (int d = -3; d <= 3; ++d) canvas.Line(x - 3, y + d, x + 3, y + d, s.rgb);
      if (i > 0) canvas.Line(px(s.points[i - 1].first), py(s.points[i - 1].second), x, y, s.rgb, 2);
    }
  }
  return stbi_write_png(path.c_str(), kWidth, kHeight, 3, canvas.pixels.data(), kWidth * 3) != 0;
}
