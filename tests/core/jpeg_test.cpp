#include "framework/core/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "framework/core/exception.h"

using namespace fw;

namespace {
std::vector<std::uint8_t> ReadFile(const std::string& name) {
  std::ifstream f(std::string(NAVEKO_TEST_DATA) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
}  // namespace

TEST(Jpeg, DecodesTheWindowsPicturesAtTheirSizes) {
  auto banner = ReadFile("Image2.jpg");
  ASSERT_FALSE(banner.empty());
  TDecodedImage img = DecodeJpeg(banner.data(), banner.size());
  EXPECT_EQ(img.Width, 534);
  EXPECT_EQ(img.Height, 250);
  ASSERT_EQ(img.Bgr.size(), 534u * 250 * 3);
  // The banner's top-left corner is its dark blue gradient start (#0b4f8a), within JPEG error.
  EXPECT_NEAR(img.Bgr[0], 0x8a, 12);
  EXPECT_NEAR(img.Bgr[1], 0x4f, 12);
  EXPECT_NEAR(img.Bgr[2], 0x0b, 12);
  int w = 0, h = 0;
  auto panel = ReadFile("Image1.jpg");
  ASSERT_TRUE(ReadJpegSize(panel.data(), panel.size(), w, h));
  EXPECT_EQ(w, 473);
  EXPECT_EQ(h, 239);
}

TEST(Jpeg, CorruptOrTruncatedDataRaisesInvalidGraphic) {
  auto data = ReadFile("Image1.jpg");
  EXPECT_THROW(DecodeJpeg(data.data(), 0), EInvalidGraphic);
  std::vector<std::uint8_t> junk(64, 0x41);
  EXPECT_THROW(DecodeJpeg(junk.data(), junk.size()), EInvalidGraphic);
  std::vector<std::uint8_t> head(data.begin(), data.begin() + 100);
  EXPECT_THROW(DecodeJpeg(head.data(), head.size()), EInvalidGraphic);
  int w, h;
  EXPECT_FALSE(ReadJpegSize(junk.data(), junk.size(), w, h));
}
