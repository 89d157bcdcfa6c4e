// zkhost's --write-documents: file names from titles, and the files it writes.
#include "DocumentImage.h"
#include "DocumentPngFiles.h"
#include "ImageFiles.h"
#include "TemporaryFolder.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Naming {
  const char* title;
  const wchar_t* file;
};

void PrintTo(const Naming& c, std::ostream* out) { *out << c.title; }

class PngFileName : public testing::TestWithParam<Naming> {};

TEST_P(PngFileName, IsAPlainWindowsName) {
  std::set<std::wstring> used;
  EXPECT_EQ(GetParam().file, zk::PngFileNameForTitle(GetParam().title, 7, &used));
}

INSTANTIATE_TEST_SUITE_P(Cases, PngFileName,
                         testing::Values(Naming{"Untitled-1", L"Untitled-1.png"},
                                         Naming{"Sunset.psd", L"Sunset.psd.png"},
                                         Naming{"Shot.PNG", L"Shot.png"},
                                         Naming{"a/b\\c:d*e?f\"g<h>i|j", L"a_b_c_d_e_f_g_h_i_j.png"},
                                         Naming{"trailing dots. . ", L"trailing dots.png"},
                                         Naming{"", L"document.png"},
                                         Naming{"con.tif", L"_con.tif.png"},
                                         Naming{"COM3", L"_COM3.png"},
                                         Naming{"Zoë", L"Zoë.png"}));

TEST(PngFileName, TwoDocumentsOfOneTitleGetTwoFiles) {
  std::set<std::wstring> used;
  EXPECT_EQ(L"Same.png", zk::PngFileNameForTitle("Same", 1, &used));
  EXPECT_EQ(L"same (id 2).png", zk::PngFileNameForTitle("same", 2, &used)) << "Windows names ignore case";
}

TEST(WriteDocumentsAsPng, WritesEachDocumentAtItsDepth) {
  zk_test::TemporaryFolder folder;
  zk::DocumentModel documents;
  const zk::ImagePixels picture = zk_test::Ramp(6, 5, 16);
  zk::HostDocument imported{"Untitled-1", "", 6, 5};
  imported.depth = 16;
  imported.samples = picture.samples;
  documents.Open(imported);
  zk::HostDocument described{"Described.psd", "C:\\Described.psd", 4, 3};  // no pixels: the export's gradient
  documents.Open(described);
  zk::HostDocument broken{"Broken", "", 4, 3};
  broken.samples.assign(5, 0);
  documents.Open(broken);

  const std::wstring target = folder.Path() + L"\\made\\here";
  const std::vector<zk::WrittenDocument> written = zk::WriteDocumentsAsPng(documents, target);
  ASSERT_EQ(3u, written.size());
  EXPECT_EQ(target + L"\\Untitled-1.png", written[0].path);
  zk::ImagePixels read;
  std::string error;
  ASSERT_TRUE(zk::ReadImageFile(written[0].path, &read, &error)) << error;
  EXPECT_EQ(16, read.depth);
  EXPECT_TRUE(picture.samples == read.samples);

  ASSERT_EQ("", written[1].error);
  ASSERT_TRUE(zk::ReadImageFile(written[1].path, &read, &error)) << error;
  zk::ImagePixels gradient;
  ASSERT_TRUE(zk::DocumentPixels(described, 8, &gradient, &error));
  EXPECT_TRUE(gradient.samples == read.samples);

  EXPECT_NE(std::string::npos, written[2].error.find("do not match")) << written[2].error;
}

}  // namespace
