#include "GradientFiles.h"

#include "ImagePixels.h"
#include "TextConvert.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zk {
namespace {

constexpr char kMagic[] = "zk-gradient ";
constexpr size_t kLongestLine = 80;  // the magic and three numbers, with room to spare

}  // namespace

bool WriteGradientFile(const std::wstring& path, const GradientFile& picture, std::string* error) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  file << kMagic << picture.width << ' ' << picture.height << ' ' << picture.depth << '\n';
  file.close();
  if (!file) *error = "cannot write \"" + WideToUtf8(path) + "\"";
  return bool(file);
}

bool ReadGradientFile(const std::wstring& path, GradientFile* picture, bool* isGradient, std::string* error) {
  *isGradient = false;
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  char start[kLongestLine + 1] = {};
  file.read(start, kLongestLine);
  const std::string line(start, size_t(file.gcount()));
  if (line.compare(0, sizeof kMagic - 1, kMagic) != 0) return false;
  *isGradient = true;
  std::istringstream numbers(line.substr(sizeof kMagic - 1));
  GradientFile read;
  std::string rest;
  uint64_t bytes = 0;
  if (!(numbers >> read.width >> read.height >> read.depth) || (numbers >> rest) ||
      !ImageBytes(read.width, read.height, read.depth, &bytes)) {
    *error = "\"" + WideToUtf8(path) + "\" is a gradient file of no size and depth the host can hold (1 to " +
             std::to_string(kLargestImageSide) + " pixels a side, 8 or 16 bits)";
    return false;
  }
  *picture = read;
  return true;
}

}  // namespace zk
