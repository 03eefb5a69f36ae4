// Tests of the practice screenshots: the reduction to 16 colours and the JPEG file, read back
// with libjpeg.
#include "shell/screen_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <set>

#include "shell/error.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

ScreenPicture Gradient(int width, int height) {
  ScreenPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      p.rgb.push_back(static_cast<uint8_t>(x * 255 / std::max(width - 1, 1)));
      p.rgb.push_back(static_cast<uint8_t>(y * 255 / std::max(height - 1, 1)));
      p.rgb.push_back(static_cast<uint8_t>((x + y) % 256));
    }
  return p;
}

std::set<uint32_t> Colours(const ScreenPicture& p) {
  std::set<uint32_t> out;
  for (std::size_t i = 0; i + 2 < p.rgb.size(); i += 3)
    out.insert(uint32_t{p.rgb[i]} << 16 | uint32_t{p.rgb[i + 1]} << 8 | p.rgb[i + 2]);
  return out;
}

// Width, height and the pixels of JPEG bytes.
ScreenPicture Decode(const std::string& bytes) {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  ScreenPicture p{static_cast<int>(info.output_width), static_cast<int>(info.output_height), {}};
  p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = &p.rgb[info.output_scanline * static_cast<std::size_t>(p.width) * 3];
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return p;
}

TEST(ScreenCapture, ColourReduction) {
  // Many colours: at most 16 remain, and each pixel stays near its own colour.
  const ScreenPicture original = Gradient(200, 120);
  ScreenPicture reduced = original;
  ReduceColours(reduced);
  EXPECT_LE(Colours(reduced).size(), 16u);
  EXPECT_GE(Colours(reduced).size(), 12u);
  long worst = 0;
  for (std::size_t i = 0; i < original.rgb.size(); ++i)
    worst = std::max(worst, std::labs(long{original.rgb[i]} - long{reduced.rgb[i]}));
  EXPECT_LT(worst, 100);

  // A picture of the program's few colours keeps them exactly; one colour stays one.
  ScreenPicture few{4, 1, {192, 220, 192, 0, 0, 255, 255, 0, 0, 192, 220, 192}};
  const ScreenPicture kept = few;
  ReduceColours(few);
  EXPECT_EQ(few.rgb, kept.rgb);
  ScreenPicture narrow = Gradient(50, 50);
  ReduceColours(narrow, 1);
  EXPECT_EQ(Colours(narrow).size(), 1u);
  // Colours that differ below the histogram's precision are still cut down to the limit.
  ScreenPicture close{40, 1, {}};
  for (int i = 0; i < 40; ++i) close.rgb.insert(close.rgb.end(), {100, 100, uint8_t(100 + i % 8)});
  ReduceColours(close, 4);
  EXPECT_LE(Colours(close).size(), 4u);
}

TEST(ScreenCapture, JpegFile) {
  test::TempDir dir;
  const std::string path = dir.Path() + "ScreenLog/24-03-07_14-05-09-note.Jpg";
  EnsureFolder(dir.Path() + "ScreenLog/");
  SaveScreenCapture(path, Gradient(321, 97));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
  const ScreenPicture back = Decode(bytes);
  EXPECT_EQ(back.width, 321);
  EXPECT_EQ(back.height, 97);
  // Quality 15 is much smaller than quality 90 of the same picture.
  ScreenPicture reduced = Gradient(321, 97);
  ReduceColours(reduced);
  EXPECT_EQ(EncodeJpeg(reduced, 15).size(), bytes.size());
  EXPECT_LT(bytes.size() * 2, EncodeJpeg(reduced, 90).size());

  EXPECT_THROW(EncodeJpeg(ScreenPicture{}, 15), Error);
  EXPECT_THROW(EncodeJpeg(ScreenPicture{3, 3, {1, 2, 3}}, 15), Error);
  EXPECT_THROW(SaveScreenCapture(dir.Path() + "missing/x.Jpg", Gradient(2, 2)), Error);
}

}  // namespace
}  // namespace quillo
