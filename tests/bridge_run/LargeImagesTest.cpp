// Pictures past 2 GiB and 4 GiB through whole bridge runs: the module in the stand-in host, the
// stand-in companion with segments of gigabytes. The stand-in's import used to refuse any picture
// over 2 GiB, so "SendImage" of 19000 x 19000 at 16 bits answered "error -50" although the module
// carries every size in 64 bits. Each run needs up to about 9 GB of memory and a minute or more,
// so ctest runs these alone, one at a time, under the label "large" (scripts/test.sh runs them,
// scripts/test.sh -LE large leaves them out). Each prints the host's time and memory for its size.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "BridgeRunHarness.h"
#include "GradientFiles.h"
#include "HostCodes.h"
#include "ImageSamples.h"

namespace {

// A ceiling for a hang: a run of the largest picture takes one to three minutes on a busy machine.
constexpr DWORD kLargeRunCeilingMs = 15 * 60 * 1000;

struct LargeImage {
  const char* name;
  int32_t width;
  int32_t height;
};

uint64_t BytesAt16Bits(const LargeImage& size) {
  uint64_t bytes = 0;
  EXPECT_TRUE(zk::ImageByteCount(size.width, size.height, 16, &bytes));
  return bytes;
}

void PrintTo(const LargeImage& size, std::ostream* out) { *out << size.name; }

double Seconds(int64_t ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(ticks) / double(frequency.QuadPart);
}

// The host's time and memory for the note on these sizes: printed, never asserted. The peak
// working set counts the companion's segment too, as far as the host's view of it was touched.
void PrintFigures(const LargeImage& size, const char* request, BridgeRunHarness& run, uint32_t event) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("figures: %s %d x %d at 16 bits (%llu bytes): run %.1f s, in host calls %.1f s, of them the event "
              "%.1f s; host process peak working set %.2f GB, peak pagefile usage %.2f GB\n",
              request, size.width, size.height, static_cast<unsigned long long>(BytesAt16Bits(size)),
              run.ElapsedMs() / 1000.0, Seconds(run.Host().Book().ProcedureTicks()),
              Seconds(run.Host().Book().EventTicks(event)), double(memory.PeakWorkingSetSize) / 1e9,
              double(memory.PeakPagefileUsage) / 1e9);
}

// The companion's test picture (standins/companion/README.md), worked out here apart from it: red
// rises from left to right, green from top to bottom, blue alternates between a quarter and three
// quarters of the range in 8 x 8 squares.
void PatternPixel(uint64_t x, uint64_t y, uint64_t width, uint64_t height, uint32_t rgb[3]) {
  const uint64_t top = 65535;
  rgb[0] = uint32_t(x * top / (width - 1));
  rgb[1] = uint32_t(y * top / (height - 1));
  rgb[2] = uint32_t((x / 8 + y / 8) % 2 == 0 ? top / 4 : top * 3 / 4);
}

// The pixels of row y that differ from the pattern: 0, or the first one's column + 1.
uint64_t FirstDifferenceInRow(const std::vector<uint8_t>& samples, uint64_t y, const LargeImage& size) {
  for (uint64_t x = 0; x < uint64_t(size.width); ++x) {
    uint32_t expected[3];
    PatternPixel(x, y, uint64_t(size.width), uint64_t(size.height), expected);
    for (int channel = 0; channel < 3; ++channel) {
      const size_t offset = zk::SampleOffset(size_t(x), size_t(y), channel, size_t(size.width), 16);
      if (zk::ReadSample(samples.data(), offset, 16) != expected[channel]) return x + 1;
    }
  }
  return 0;
}

class LargeSendImage : public testing::TestWithParam<LargeImage> {};

// The new document has the size asked for and the pixels as sent: its first and last rows, and the
// rows that hold the bytes at 2^31 and 2^32, where an offset or count of 32 bits would break.
TEST_P(LargeSendImage, MakesADocumentOfThatSizeWithThePixelsAsSent) {
  const LargeImage size = GetParam();
  const uint64_t bytes = BytesAt16Bits(size);
  BridgeRunHarness run;
  run.InstallRemembered();
  run.SetRunCeiling(kLargeRunCeilingMs);
  const std::string tag = std::to_string(GetCurrentProcessId());
  const std::string image = Quoted("zk-large-image-" + tag), metadata = Quoted("zk-large-metadata-" + tag);
  const std::string sides = " " + std::to_string(size.width) + " " + std::to_string(size.height) + " 16";
  run.SetScenario("window hidden\n"
                  "create-segment " + image + " image" + sides + "\n"
                  "fill-segment " + image + " pattern" + sides + "\n"
                  "create-segment " + metadata + " 4096\n"
                  "fill-segment " + metadata + " text \"<metadata>large</metadata>\"\n"
                  "send-image \"C:\\\\large\\\\source.png\" " + image + sides + " " + metadata + " $length\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  PrintFigures(size, "SendImage", run, eventImport);
  EXPECT_EQ(run.Values("reply"), std::vector<std::string>{"\"OK\""});
  EXPECT_EQ(run.Values("failed"), std::vector<std::string>{});
  EXPECT_EQ(run.Values("filled").at(0), image + " " + std::to_string(bytes) + " bytes");

  ASSERT_EQ(run.Events().Imported().size(), 1u);
  const zk::MadeDocument& made = run.Events().Imported()[0];
  EXPECT_EQ(made.width, size.width);
  EXPECT_EQ(made.height, size.height);
  EXPECT_EQ(made.depth, 16);
  EXPECT_EQ(made.metadataBytes, std::string("<metadata>large</metadata>").size());
  const zk::HostDocument* document = run.Documents().ById(made.id);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(document->samples.size(), bytes);
  std::vector<uint64_t> rows = {0, uint64_t(size.height) - 1};
  for (const uint64_t boundary : {uint64_t(1) << 31, uint64_t(1) << 32}) {
    if (boundary < bytes) rows.push_back(boundary / 6 / uint64_t(size.width));
  }
  for (const uint64_t row : rows) {
    EXPECT_EQ(FirstDifferenceInRow(document->samples, row, size), 0u) << "row " << row << ": column + 1 of the first "
                                                                      << "pixel that is not as sent";
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LargeSendImage,
                         testing::Values(LargeImage{"past 2 GiB, 19000 x 19000", 19000, 19000},
                                         LargeImage{"past 2 GiB, short of 4 GiB, 26500 x 26500", 26500, 26500},
                                         LargeImage{"past 4 GiB, 26800 x 26800", 26800, 26800}));

class LargeReadRaw : public testing::TestWithParam<LargeImage> {};

// A raw file whose pixels are past 2 GiB (past 4 GiB) reaches the companion whole. The stand-in's
// converter decodes image files of at most 2 GiB of pixels (stb_image's bound), so the raw file is a
// gradient file of that size; the companion sums up what arrived in its segment, the corners and
// the centre among it.
TEST_P(LargeReadRaw, HandsTheWholePictureToTheCompanion) {
  const LargeImage size = GetParam();
  BridgeRunHarness run;
  run.InstallRemembered();
  run.SetRunCeiling(kLargeRunCeilingMs);
  const std::wstring file = run.Install().Scratch() + L"\\large.zkgradient";
  std::string error;
  ASSERT_TRUE(zk::WriteGradientFile(file, zk::GradientFile{size.width, size.height, 16}, &error)) << error;
  const std::string segment = Quoted("zk-large-raw-" + std::to_string(GetCurrentProcessId()));
  run.SetScenario("window hidden\n"
                  "create-segment " + segment + " image " + std::to_string(size.width) + " " +
                  std::to_string(size.height) + " 16\n"
                  "read-raw " + Quoted(Utf8(file)) + " " + segment + " $size 16\n"
                  "summarize-segment " + segment + " $width $height 16\n");
  EXPECT_EQ(run.DoIt(), kSPNoError);
  PrintFigures(size, "ReadRaw", run, eventExport);
  const std::string width = std::to_string(size.width), height = std::to_string(size.height);
  EXPECT_EQ(run.Values("reply"), std::vector<std::string>{"\"OK\" \"" + width + "\" \"" + height + "\""});
  EXPECT_EQ(run.Values("failed"), std::vector<std::string>{});

  // The gradient (GradientImage): red rises to the right, green downwards, blue to the left.
  const uint64_t w = uint64_t(size.width), h = uint64_t(size.height), top = 65535;
  std::vector<std::string> expected;
  for (const auto& [x, y] : std::vector<std::pair<uint64_t, uint64_t>>{
           {0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w / 2, h / 2}}) {
    expected.push_back(std::to_string(x) + " " + std::to_string(y) + " = " + std::to_string(x * top / (w - 1)) + " " +
                       std::to_string(y * top / (h - 1)) + " " + std::to_string((w - 1 - x) * top / (w - 1)));
  }
  EXPECT_EQ(run.Values("image-sample"), expected);
  const std::vector<std::string> summary = run.Values("image-summary");
  ASSERT_EQ(summary.size(), 1u);
  EXPECT_EQ(summary[0].find(segment + " " + width + " x " + height + " at 16 bits, " +
                            std::to_string(BytesAt16Bits(size)) + " bytes"),
            0u)
      << summary[0];
}

INSTANTIATE_TEST_SUITE_P(Sizes, LargeReadRaw,
                         testing::Values(LargeImage{"past 2 GiB, 19000 x 19000", 19000, 19000},
                                         LargeImage{"past 4 GiB, 26800 x 26800", 26800, 26800}));

}  // namespace
