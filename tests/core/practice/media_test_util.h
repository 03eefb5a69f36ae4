// Helpers of the media library tests: index files written line by line, small pictures encoded
// as JPEG and BMP, and the check of an MP3 frame header.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include "books/scramble.h"
#include "practice/media_library.h"

namespace quillo::test {

// Index lines joined with CR LF, each scrambled with the media key when asked.
inline std::string IndexText(const std::vector<std::string>& lines, bool scrambled) {
  std::string out;
  for (const std::string& line : lines) {
    out += ScrambleLine(line, scrambled, MediaIndexKeyDigits()) + "\r\n";
  }
  return out;
}

// A width x height picture whose pixel (x, y) is (10x, 10y, 128).
inline std::string TestPixels(int width, int height) {
  std::string rgb;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      rgb.push_back(static_cast<char>(10 * x));
      rgb.push_back(static_cast<char>(10 * y));
      rgb.push_back(static_cast<char>(128));
    }
  return rgb;
}

inline std::string EncodeJpeg(int width, int height, const std::string& rgb) {
  jpeg_compress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(
        const_cast<char*>(rgb.data() + static_cast<std::size_t>(info.next_scanline) * width * 3));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::string out(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

inline void PutLE(std::string& s, std::size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// A bottom-up 24-bit bitmap of the picture.
inline std::string EncodeBmp24(int width, int height, const std::string& rgb) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string b(54 + static_cast<std::size_t>(stride * height), '\0');
  b[0] = 'B';
  b[1] = 'M';
  PutLE(b, 2, static_cast<uint32_t>(b.size()), 4);
  PutLE(b, 10, 54, 4);
  PutLE(b, 14, 40, 4);
  PutLE(b, 18, static_cast<uint32_t>(width), 4);
  PutLE(b, 22, static_cast<uint32_t>(height), 4);
  PutLE(b, 26, 1, 2);
  PutLE(b, 28, 24, 2);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t in = static_cast<std::size_t>((y * width + x) * 3);
      const std::size_t out = 54 + static_cast<std::size_t>((height - 1 - y) * stride + x * 3);
      b[out] = rgb[in + 2];
      b[out + 1] = rgb[in + 1];
      b[out + 2] = rgb[in];
    }
  return b;
}

// An MPEG audio layer III frame header at the start of the bytes: its sample rate, or 0.
inline int Mp3SampleRate(const std::string& bytes) {
  if (bytes.size() < 4) return 0;
  const auto b = [&](int i) {
    return static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  };
  if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0) return 0;
  const int version = (b(1) >> 3) & 3;  // 0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1
  const int layer = (b(1) >> 1) & 3;    // 1 layer III
  const int bitrate = b(2) >> 4;
  const int rateIndex = (b(2) >> 2) & 3;
  if (version == 1 || layer != 1 || bitrate == 0 || bitrate == 15 || rateIndex == 3) return 0;
  static const int kRates[4][3] = {
      {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
  return kRates[version][rateIndex];
}

}  // namespace quillo::test
