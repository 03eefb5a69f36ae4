#include "practice/media_pictures.h"

#include <gtest/gtest.h>

#include "media_test_util.h"

namespace quillo {
namespace {

using test::PutLE;

// A bitmap with a 40-byte info header: bits per pixel, a palette of 0x00RRGGBB colours and the
// rows as stored (each padded to 4 bytes by the caller).
std::string Bitmap(int width, int height, int bits, const std::vector<uint32_t>& palette,
                   const std::string& rows) {
  const std::size_t offset = 54 + 4 * palette.size();
  std::string b(offset, '\0');
  b[0] = 'B';
  b[1] = 'M';
  PutLE(b, 2, static_cast<uint32_t>(offset + rows.size()), 4);
  PutLE(b, 10, static_cast<uint32_t>(offset), 4);
  PutLE(b, 14, 40, 4);
  PutLE(b, 18, static_cast<uint32_t>(width), 4);
  PutLE(b, 22, static_cast<uint32_t>(height), 4);
  PutLE(b, 26, 1, 2);
  PutLE(b, 28, static_cast<uint32_t>(bits), 2);
  PutLE(b, 46, static_cast<uint32_t>(palette.size()), 4);
  for (std::size_t i = 0; i < palette.size(); ++i) PutLE(b, 54 + 4 * i, palette[i], 4);
  return b + rows;
}

TEST(DecodeBmp, ReadsTrueColourAndPalettePictures) {
  const std::string pixels = test::TestPixels(3, 2);
  std::optional<Picture24> p = DecodeBmp(test::EncodeBmp24(3, 2, pixels));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 3);
  EXPECT_EQ(p->height, 2);
  EXPECT_EQ(p->rgb, pixels);

  // A top-down 32-bit picture: rows as written, the fourth byte ignored.
  p = DecodeBmp(Bitmap(1, -2, 32, {}, std::string("\x03\x02\x01\xFF\x06\x05\x04\x00", 8)));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->rgb, std::string("\x01\x02\x03\x04\x05\x06", 6));

  // 8 bits: bottom row first; an index past the palette is black.
  const std::vector<uint32_t> palette = {0x102030, 0xA0B0C0};
  p = DecodeBmp(Bitmap(2, 2, 8, palette, std::string("\x01\x07\0\0\x00\x01\0\0", 8)));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->rgb, std::string("\x10\x20\x30\xA0\xB0\xC0\xA0\xB0\xC0\0\0\0", 12));
  // 1 bit: the highest bit is the leftmost pixel.
  p = DecodeBmp(Bitmap(3, 1, 1, {0x000000, 0xFFFFFF}, std::string("\xA0\0\0\0", 4)));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->rgb, std::string("\xFF\xFF\xFF\0\0\0\xFF\xFF\xFF", 9));
  // 4 bits.
  p = DecodeBmp(Bitmap(2, 1, 4, {0x000000, 0x010203}, std::string("\x10\0\0\0", 4)));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->rgb, std::string("\x01\x02\x03\0\0\0", 6));
}

TEST(DecodeBmp, RefusesDamagedAndUnsupportedHeaders) {
  const std::string good = test::EncodeBmp24(3, 2, test::TestPixels(3, 2));
  auto patched = [&](std::size_t at, uint32_t value, int bytes) {
    std::string b = good;
    PutLE(b, at, value, bytes);
    return b;
  };
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"wrong magic", "XM" + good.substr(2)},
      {"truncated header", good.substr(0, 30)},
      {"pixels cut short", good.substr(0, good.size() - 1)},
      {"core header", patched(14, 12, 4)},
      {"info header past the end", patched(14, 5000, 4)},
      {"two planes", patched(26, 2, 2)},
      {"run-length compressed", patched(30, 1, 4)},
      {"16 bits", patched(28, 16, 2)},
      {"no width", patched(18, 0, 4)},
      {"no height", patched(22, 0, 4)},
      {"negative width", patched(18, 0xFFFFFFFD, 4)},
      {"pixels past the end", patched(10, 0xFFFFFFF0, 4)},
      {"huge picture", patched(22, 100000, 4)},
      {"too many pixels", patched(18, 0x7FFFFFFF, 4)},
  };
  for (const Case& c : cases) EXPECT_FALSE(DecodeBmp(c.bytes)) << c.what;
}

TEST(DecodeJpeg, DecodesColourAndRefusesDamagedData) {
  const std::string jpeg = test::EncodeJpeg(8, 8, test::TestPixels(8, 8));
  const std::optional<Picture24> p = DecodeJpeg(jpeg);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 8);
  EXPECT_EQ(p->height, 8);
  EXPECT_EQ(p->rgb.size(), 8u * 8 * 3);

  // The frame header (after the marker FFC0, length and precision) declares 60000 x 60000.
  std::string huge = jpeg;
  const std::size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = static_cast<char>(0xEA);
  huge[sof + 6] = static_cast<char>(0x60);
  huge[sof + 7] = static_cast<char>(0xEA);
  huge[sof + 8] = static_cast<char>(0x60);

  for (const std::string& bad : {std::string(), jpeg.substr(0, 20), std::string("not a jpeg"),
                                 std::string(5000, '\xFF'), huge}) {
    EXPECT_FALSE(DecodeJpeg(bad)) << bad.size();
  }
}

}  // namespace
}  // namespace quillo
