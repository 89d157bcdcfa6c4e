// The image requests between the stand-in companion and a test pipe server that plays the module:
// the companion creates the segments and sends their names, the server opens them by name as the
// module's plug-ins do, and both sides check what the other put there.
#include "ImageSamples.h"
#include "QuotedText.h"
#include "StartedCompanion.h"
#include "TestPipeServer.h"
#include "ToneMapping.h"
#include "TranscriptFile.h"
#include "WindowsOwners.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace {

using namespace zk::test;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::wstring>;

constexpr DWORD kWait = 15000;
constexpr int kWidth = 5, kHeight = 4;

// The raw picture of the tests: uneven sizes, every channel different, one white pixel.
std::uint32_t RawSample(int x, int y, int channel) {
  if (x == 4 && y == 3) return 65535;
  const std::uint32_t values[] = {static_cast<std::uint32_t>(x * 13000 + y * 1000),
                                  static_cast<std::uint32_t>(40000 - y * 9000 + x * 100),
                                  static_cast<std::uint32_t>((x * y * 2711 + 500) % 65536)};
  return values[channel];
}

Bytes RawPixels() {
  Bytes samples(kWidth * kHeight * 6);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      for (int c = 0; c < 3; ++c) zk::WriteSample(samples.data(), zk::SampleOffset(x, y, c, kWidth, 16), 16, RawSample(x, y, c));
    }
  }
  return samples;
}

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void AppendBigEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i));
}

void AppendChunk(std::string& png, const char* type, const std::string& data) {
  AppendBigEndian(png, static_cast<std::uint32_t>(data.size()), 4);
  const std::string typed = type + data;
  png += typed;
  AppendBigEndian(png, Crc32(typed), 4);
}

// The same picture as a 16-bit RGB PNG file, the companion's "raw file": unfiltered rows in one
// stored (uncompressed) deflate block, which every PNG reader takes.
std::string RawFileContent() {
  std::string rows;
  for (int y = 0; y < kHeight; ++y) {
    rows += '\0';  // filter type: none
    for (int x = 0; x < kWidth; ++x) {
      for (int c = 0; c < 3; ++c) AppendBigEndian(rows, RawSample(x, y, c), 2);
    }
  }
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : rows) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  std::string zlib = "\x78\x01\x01";  // header, then the final stored block: length and its complement
  zlib += static_cast<char>(rows.size() & 0xFF);
  zlib += static_cast<char>(rows.size() >> 8);
  zlib += static_cast<char>(~rows.size() & 0xFF);
  zlib += static_cast<char>((~rows.size() >> 8) & 0xFF);
  zlib += rows;
  AppendBigEndian(zlib, b << 16 | a, 4);

  std::string header;
  AppendBigEndian(header, kWidth, 4);
  AppendBigEndian(header, kHeight, 4);
  header += std::string("\x10\x02\x00\x00\x00", 5);  // 16 bits, RGB, deflate, no filter, no interlace
  std::string png = "\x89PNG\r\n\x1A\n";
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", zlib);
  AppendChunk(png, "IEND", "");
  return png;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Fnv1a64Hex(const Bytes& bytes) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001B3ull;
  char text[20];
  std::snprintf(text, sizeof text, "%016" PRIX64, hash);
  return text;
}

// A segment the test opens by name, as the module does with the names it receives.
struct OpenedSegment {
  UniqueHandle mapping;
  UniqueMappedView view;
  bool Open(const std::string& name, DWORD access) {
    mapping.Reset(OpenFileMappingA(access, FALSE, name.c_str()));
    if (mapping) view.Reset(MapViewOfFile(mapping.Get(), access, 0, 0, 0));
    return view.Valid();
  }
  std::uint8_t* Data() const { return static_cast<std::uint8_t*>(view.Get()); }
};

class CompanionImageRequestTest : public testing::Test {
 protected:
  std::string SegmentName(const char* role) const { return "zk-" + std::string(role) + "-" + Narrow(suffix_); }
  std::string Quoted(const std::string& text) const { return zk::QuoteText(std::wstring(text.begin(), text.end())); }

  void Start(const std::string& scenario) {
    ASSERT_TRUE(server_.Create());
    const std::wstring path = folder_.WriteFile(L"scenario.txt", scenario);
    ASSERT_TRUE(companion_.Start(CompanionExePath(), suffix_, path, transcript_)) << "error " << GetLastError();
    ASSERT_TRUE(server_.WaitForClient(kWait));
  }

  DWORD ExitCode() {
    DWORD code = 0xDEAD;
    EXPECT_TRUE(companion_.WaitForExit(kWait, code)) << "the companion did not end";
    return code;
  }

  TestFolder folder_;
  std::wstring suffix_ = UniqueSuffix();
  TestPipeServer server_{suffix_};
  std::wstring transcript_ = folder_.Path() + L"transcript.txt";
  StartedCompanion companion_;
};

TEST_F(CompanionImageRequestTest, RawPixelsComeInAreToneMappedAndGoBackWithMetadata) {
  const std::wstring rawFile = folder_.WriteFile(L"raw file.png", RawFileContent());
  const std::string raw = SegmentName("raw"), tone = SegmentName("tone"), meta = SegmentName("meta");
  const std::string file = zk::QuoteText(rawFile);
  const std::string metadata = "<metadata>caf\xC3\xA9</metadata>";
  Start("window hidden\n"
        "create-segment " + Quoted(raw) + " image " + file + " 16\n"
        "create-segment " + Quoted(meta) + " 256\n"
        "fill-segment " + Quoted(meta) + " text \"<metadata>caf\\u00e9</metadata>\"\n"
        "read-raw " + file + " " + Quoted(raw) + " $size 16\n"
        "compare-segment " + Quoted(raw) + " " + file + " 16\n"
        "create-segment " + Quoted(tone) + " image $width $height 8\n"
        "tone-map " + Quoted(raw) + " " + Quoted(tone) + " $width $height 8\n"
        "summarize-segment " + Quoted(tone) + " $width $height 8\n"
        "send-image " + file + " " + Quoted(tone) + " $width $height 8 " + Quoted(meta) + " $length\n");

  // The module's export plug-in writes the raw file's pixels into the named segment.
  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  const std::wstring wideRaw(raw.begin(), raw.end());
  EXPECT_EQ(message.fields, (Texts{L"ReadRaw", rawFile, wideRaw, L"120", L"16"}));
  {
    OpenedSegment segment;
    ASSERT_TRUE(segment.Open(raw, FILE_MAP_WRITE)) << "error " << GetLastError();
    const Bytes pixels = RawPixels();
    std::copy(pixels.begin(), pixels.end(), segment.Data());
  }
  ASSERT_TRUE(server_.Write(Concat({Field(L"OK"), Field(L"5"), Field(L"4"), EndMarker()})));

  // The import plug-in takes the tone-mapped picture and the metadata from their segments.
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  const std::wstring wideTone(tone.begin(), tone.end()), wideMeta(meta.begin(), meta.end());
  EXPECT_EQ(message.fields, (Texts{L"SendImage", rawFile, wideTone, L"5", L"4", L"8", wideMeta,
                                   std::to_wstring(metadata.size())}));
  const Bytes rawPixels = RawPixels();
  Bytes expected(kWidth * kHeight * 3);
  zk::ToneMapImage(rawPixels.data(), kWidth, kHeight, expected.data(), 8);
  {
    OpenedSegment image, metaSegment;
    ASSERT_TRUE(image.Open(tone, FILE_MAP_READ)) << "error " << GetLastError();
    ASSERT_TRUE(metaSegment.Open(meta, FILE_MAP_READ)) << "error " << GetLastError();
    EXPECT_EQ(Bytes(image.Data(), image.Data() + expected.size()), expected);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(metaSegment.Data()), metadata.size()), metadata);
  }
  ASSERT_TRUE(server_.Write(Concat({Field(L"OK"), EndMarker()})));
  bool closed = false;
  server_.ReadUntilClosed(kWait, closed);
  EXPECT_TRUE(closed);
  EXPECT_EQ(ExitCode(), 0u);

  const TranscriptFile t(transcript_);
  EXPECT_FALSE(t.Has("failed")) << t.Text();
  EXPECT_EQ(t.Values("image-file"), (std::vector<std::string>{file + " 5 x 4", file + " 5 x 4"}));
  EXPECT_EQ(t.Values("segment-created"), (std::vector<std::string>{Quoted(raw) + " 120 bytes", Quoted(meta) + " 256 bytes",
                                                                   Quoted(tone) + " 60 bytes"}));
  EXPECT_EQ(t.Values("filled"), std::vector<std::string>{Quoted(meta) + " " + std::to_string(metadata.size()) + " bytes"});
  EXPECT_EQ(t.Values("reply"), (std::vector<std::string>{"\"OK\" \"5\" \"4\"", "\"OK\""}));
  EXPECT_EQ(t.Values("image-size"), std::vector<std::string>{"5 x 4"});
  EXPECT_EQ(t.Values("compare"), std::vector<std::string>{"equal, 5 x 4 at 16 bits, 120 bytes"});
  EXPECT_EQ(t.Values("image-summary"),
            std::vector<std::string>{Quoted(tone) + " 5 x 4 at 8 bits, 60 bytes, fnv1a64 " + Fnv1a64Hex(expected)});
  ASSERT_EQ(t.Values("image-sample").size(), 5u);
  char corner[64];
  std::snprintf(corner, sizeof corner, "4 3 = %u %u %u", expected[57], expected[58], expected[59]);
  EXPECT_EQ(t.Values("image-sample")[3], corner);
  ASSERT_EQ(t.Values("tone-mapped").size(), 1u);
  EXPECT_EQ(t.Values("tone-mapped")[0].rfind(Quoted(tone) + " 5 x 4 at 8 bits, log-average luminance 0.", 0), 0u);
  // Each request is recorded as any other: what was asked, the bytes written, the reply.
  const std::vector<std::string> keys = t.Keys();
  const std::vector<std::string> story = {"read-raw", "request", "wrote", "reply", "reply-bytes", "image-size",
                                          "compare-segment", "image-file", "compare"};
  const auto at = std::search(keys.begin(), keys.end(), story.begin(), story.end());
  EXPECT_NE(at, keys.end()) << t.Text();
  ASSERT_EQ(t.Values("request").size(), 2u);
  EXPECT_EQ(QuotedTexts(t.Values("request")[1]),
            (Texts{L"SendImage", rawFile, wideTone, L"5", L"4", L"8", wideMeta, std::to_wstring(metadata.size())}));
}

TEST_F(CompanionImageRequestTest, FailedStatementsAreWrittenAndTheScenarioGoesOn) {
  // Some other process already holds a segment of the name the scenario wants.
  const std::string taken = SegmentName("taken"), raw = SegmentName("raw"), other = SegmentName("other");
  UniqueHandle foreign(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, taken.c_str()));
  ASSERT_TRUE(foreign.Valid());
  const std::wstring missingFile = folder_.Path() + L"missing.png";
  // A 16-bit PPM of one pixel, 0x0102 0x0304 0x0506: the decoder at hand would swap its bytes.
  const std::wstring pnmFile = folder_.WriteFile(L"two bytes.ppm", std::string("P6\n1 1\n65535\n\1\2\3\4\5\6", 19));
  Start("window hidden\n"
        "create-segment " + Quoted(taken) + " 64\n"                               // 2
        "create-segment " + Quoted(raw) + " 12\n"                                 // 3
        "read-raw \"C:\\\\raw\\\\a.raw\" " + Quoted(raw) + " 0 16\n"                // 4: answered 4 x 3
        "tone-map " + Quoted(raw) + " \"out\" $width $height 8\n"                 // 5
        "read-raw \"C:\\\\raw\\\\b.raw\" " + Quoted(raw) + " 0 16\n"                // 6: answered "Error"
        "send-image \"C:\\\\raw\\\\a.raw\" " + Quoted(raw) + " 2 2 8 \"no-meta\" 0\n"  // 7
        "delete-segment " + Quoted(raw) + "\n"                                    // 8
        "delete-segment " + Quoted(raw) + "\n"                                    // 9
        "create-segment " + Quoted(other) + " image " + zk::QuoteText(missingFile) + " 16\n"  // 10
        "create-segment " + Quoted(other) + " 24\n"                                          // 11
        "compare-segment " + Quoted(other) + " " + zk::QuoteText(pnmFile) + " 16\n"          // 12
        "request \"Running\"\n");

  ReceivedMessage message;
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  EXPECT_EQ(message.fields, (Texts{L"ReadRaw", L"C:\\raw\\a.raw", std::wstring(raw.begin(), raw.end()), L"0", L"16"}));
  ASSERT_TRUE(server_.Write(Concat({Field(L"OK"), Field(L"4"), Field(L"3"), EndMarker()})));
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  EXPECT_EQ(message.fields.at(1), L"C:\\raw\\b.raw");
  ASSERT_TRUE(server_.Write(Concat({Field(L"Error"), Field(L"The raw file cannot be opened."), EndMarker()})));
  // SendImage was never sent; the scenario went on to its last request.
  ASSERT_TRUE(server_.ReadMessage(message, kWait));
  EXPECT_EQ(message.fields, Texts{L"Running"});
  // The companion has let go of the segment, and nobody else holds it: it is gone.
  OpenedSegment gone;
  EXPECT_FALSE(gone.Open(raw, FILE_MAP_READ));
  ASSERT_TRUE(server_.Write(EndMarker()));
  EXPECT_EQ(ExitCode(), 8u);

  const TranscriptFile t(transcript_);
  struct Expected {
    int line;
    const char* reason;
  };
  const Expected failures[] = {
      {2, "exists already (another process holds it)"},
      {4, "an image of 4 x 3 at 16 bits needs 72 bytes, the segment \"" },
      {5, "$width is not known: no ReadRaw has succeeded"},
      {6, "ReadRaw was not done: the plug-in answered \"Error\" \"The raw file cannot be opened.\""},
      {7, "this run holds no metadata segment \"no-meta\""},
      {9, "this run holds no segment \""},
      {10, "missing.png\": cannot read the image file's header"},
      {12, "16-bit PNM files are not decoded"},
  };
  const std::vector<std::string> failed = t.Values("failed");
  ASSERT_EQ(failed.size(), std::size(failures)) << t.Text();
  for (size_t i = 0; i < failed.size(); ++i) {
    const std::string prefix = "line " + std::to_string(failures[i].line) + ": ";
    EXPECT_EQ(failed[i].rfind(prefix, 0), 0u) << failed[i];
    EXPECT_NE(failed[i].find(failures[i].reason), std::string::npos) << failed[i];
  }
  EXPECT_EQ(t.Values("segment-created"), (std::vector<std::string>{Quoted(raw) + " 12 bytes", Quoted(other) + " 24 bytes"}));
  EXPECT_FALSE(t.Has("image-size"));
  EXPECT_EQ(t.Values("request").size(), 3u);
  EXPECT_EQ(t.Values("exit"), std::vector<std::string>{"8"});
}

}  // namespace
