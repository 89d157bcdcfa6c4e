#include "ImagePattern.h"
#include "ImageSummary.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;

// The summary of the test picture, worked out by hand: red is x * top / (w - 1), green the same
// down the rows, blue a quarter or three quarters of the range in 8 x 8 squares.
TEST(CompanionImageSummary, TestPictureHasKnownStatisticsAtBothDepths) {
  std::vector<std::uint8_t> eight(16 * 16 * 3);
  zk::WritePattern(eight.data(), 16, 16, 8);
  const Lines lines8 = zk::SummarizeImage(eight.data(), 16, 16, 8);
  ASSERT_EQ(lines8.size(), 9u);
  EXPECT_EQ(lines8[0].first, "image-summary");
  EXPECT_EQ(lines8[0].second.rfind("16 x 16 at 8 bits, 768 bytes, fnv1a64 ", 0), 0u) << lines8[0].second;
  EXPECT_EQ(Lines(lines8.begin() + 1, lines8.end()),
            (Lines{{"image-channel", "red min 0 max 255 mean 127.500"},
                   {"image-channel", "green min 0 max 255 mean 127.500"},
                   {"image-channel", "blue min 63 max 191 mean 127.000"},
                   {"image-sample", "0 0 = 0 0 63"},
                   {"image-sample", "15 0 = 255 0 191"},
                   {"image-sample", "0 15 = 0 255 191"},
                   {"image-sample", "15 15 = 255 255 63"},
                   {"image-sample", "8 8 = 136 136 63"}}));

  // At 16 bits the samples are read little-endian; an odd width puts the centre off the middle.
  std::vector<std::uint8_t> sixteen(3 * 2 * 6);
  zk::WritePattern(sixteen.data(), 3, 2, 16);
  EXPECT_EQ(sixteen[0 * 6 + 2 * 2], 0xFF);  // blue of the first pixel, 16383 = 0x3FFF, low byte first
  EXPECT_EQ(sixteen[0 * 6 + 2 * 2 + 1], 0x3F);
  const Lines lines16 = zk::SummarizeImage(sixteen.data(), 3, 2, 16);
  EXPECT_EQ(Lines(lines16.begin() + 1, lines16.end()),
            (Lines{{"image-channel", "red min 0 max 65535 mean 32767.333"},  // (0 + 32767 + 65535) / 3
                   {"image-channel", "green min 0 max 65535 mean 32767.500"},
                   {"image-channel", "blue min 16383 max 16383 mean 16383.000"},
                   {"image-sample", "0 0 = 0 0 16383"},
                   {"image-sample", "2 0 = 65535 0 16383"},
                   {"image-sample", "0 1 = 0 65535 16383"},
                   {"image-sample", "2 1 = 65535 65535 16383"},
                   {"image-sample", "1 1 = 32767 65535 16383"}}));
}

TEST(CompanionImageSummary, ChecksumIsFnv1a64) {
  // Published FNV-1a 64 values: the empty input is the offset basis.
  const std::string a = "a", foobar = "foobar";
  EXPECT_EQ(zk::Fnv1a64(nullptr, 0), 0xCBF29CE484222325ull);
  EXPECT_EQ(zk::Fnv1a64(reinterpret_cast<const std::uint8_t*>(a.data()), a.size()), 0xAF63DC4C8601EC8Cull);
  EXPECT_EQ(zk::Fnv1a64(reinterpret_cast<const std::uint8_t*>(foobar.data()), foobar.size()), 0x85944171F73967E8ull);
}

}  // namespace
