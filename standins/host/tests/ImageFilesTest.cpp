// Pictures and image files: PNG written at 8 and 16 bits reads back sample for sample, depth
// conversion keeps 8-bit samples through a round trip, unreadable files say why.
#include "ImageFiles.h"
#include "ImagePixels.h"
#include "ImageSamples.h"
#include "Png16Encoder.h"
#include "TemporaryFolder.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

using zk_test::Ramp;

struct RoundTrip {
  const char* what;
  int64_t width;
  int64_t height;
  int32_t depth;
};

void PrintTo(const RoundTrip& c, std::ostream* out) { *out << c.what; }

class PngRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(PngRoundTrip, ReadsBackWhatWasWritten) {
  zk_test::TemporaryFolder folder;
  const zk::ImagePixels written = Ramp(GetParam().width, GetParam().height, GetParam().depth);
  const std::wstring path = folder.Path() + L"\\picture.png";
  std::string error;
  ASSERT_TRUE(zk::WritePngFile(path, written, &error)) << error;
  zk::ImagePixels read;
  zk::ImageFileFacts facts;
  ASSERT_TRUE(zk::ReadImageFile(path, &read, &error, &facts)) << error;
  EXPECT_EQ(written.width, read.width);
  EXPECT_EQ(written.height, read.height);
  EXPECT_EQ(written.depth, read.depth);
  EXPECT_EQ(3, facts.channels);
  EXPECT_TRUE(written.samples == read.samples);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngRoundTrip,
    testing::Values(RoundTrip{"8 bits, odd size", 5, 3, 8}, RoundTrip{"16 bits, odd size", 5, 3, 16},
                    RoundTrip{"16 bits, one pixel", 1, 1, 16},
                    // 150 x 80 x 6 bytes and a filter byte a row: more than one stored deflate block
                    RoundTrip{"16 bits, several deflate blocks", 150, 80, 16}));

// The host holds pictures up to 300,000 pixels a side whatever their bytes (memory decides); the
// stand-in used to refuse anything over 2 GiB, which the real host takes.
TEST(PictureSizes, UpToTheLargestSideWhateverTheBytes) {
  const struct {
    int64_t width, height;
    int32_t depth;
    bool held;
    uint64_t bytes;
  } cases[] = {{19000, 19000, 16, true, 2166000000u},  {26800, 26800, 16, true, 4309440000u},
               {300000, 300000, 16, true, 540000000000u}, {300001, 1, 8, false, 0},
               {1, 300001, 8, false, 0},                  {0, 10, 8, false, 0},
               {10, 10, 12, false, 0}};
  for (const auto& c : cases) {
    uint64_t bytes = 0;
    EXPECT_EQ(c.held, zk::ImageBytes(c.width, c.height, c.depth, &bytes)) << c.width << " x " << c.height;
    if (c.held) {
      EXPECT_EQ(c.bytes, bytes);
    }
  }
}

TEST(SampleDepth, EightBitSamplesSurviveSixteenAndRoundingIsToTheNearest) {
  std::vector<uint8_t> all(256);
  for (int v = 0; v < 256; ++v) all[size_t(v)] = uint8_t(v);
  const std::vector<uint8_t> wide = zk::ConvertSampleDepth(all, 8, 16);
  ASSERT_EQ(512u, wide.size());
  EXPECT_EQ(65535u, zk::ReadSample(wide.data(), 510, 16));
  EXPECT_EQ(257u * 100, zk::ReadSample(wide.data(), 200, 16));
  EXPECT_TRUE(all == zk::ConvertSampleDepth(wide, 16, 8));

  const uint32_t sixteen[] = {0, 128, 129, 385, 386, 32767, 32896, 65407, 65535};
  std::vector<uint8_t> samples(sizeof sixteen / sizeof sixteen[0] * 2);
  for (size_t i = 0; i < sizeof sixteen / sizeof sixteen[0]; ++i) {
    zk::WriteSample(samples.data(), i * 2, 16, sixteen[i]);
  }
  const std::vector<uint8_t> narrow = zk::ConvertSampleDepth(samples, 16, 8);
  for (size_t i = 0; i < narrow.size(); ++i) {
    EXPECT_EQ(std::lround(sixteen[i] / 257.0), narrow[i]) << sixteen[i];
  }
}

TEST(ImageFiles, RefusesWhatIsNoPicture) {
  zk_test::TemporaryFolder folder;
  const std::wstring garbage = folder.Path() + L"\\garbage.png";
  std::ofstream(std::filesystem::path(garbage), std::ios::binary) << "\x89PNG but nothing of a picture after it";
  zk::ImagePixels image;
  std::string error;
  EXPECT_FALSE(zk::ReadImageFile(garbage, &image, &error));
  EXPECT_NE(std::string::npos, error.find("garbage.png")) << error;
  error.clear();
  EXPECT_FALSE(zk::ReadImageFile(folder.Path() + L"\\missing.png", &image, &error));
  EXPECT_NE(std::string::npos, error.find("missing.png")) << error;

  zk::ImagePixels inconsistent{4, 4, 16, std::vector<uint8_t>(10)};
  EXPECT_EQ("", zk::EncodePng16(inconsistent));
  EXPECT_FALSE(zk::WritePngFile(folder.Path() + L"\\inconsistent.png", inconsistent, &error));
}

}  // namespace
