// The screenshots of the practice screen that the trace mode offers: a captured picture reduced
// to 16 colours and saved as a small JPEG file (quality 15) in the screenshot folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

// Rows from the top, 3 bytes per pixel (red, green, blue), no padding.
struct ScreenPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

inline constexpr int kScreenCaptureColours = 16;
inline constexpr int kScreenCaptureQuality = 15;

// Reduces the picture to at most `colours` colours: a picture that has no more keeps its own;
// otherwise a median-cut palette of its colours is made and every pixel takes the nearest
// palette colour.
void ReduceColours(ScreenPicture& picture, int colours = kScreenCaptureColours);

// The picture as JPEG bytes (baseline, quality 1..100). Throws Error for an empty picture or
// one whose pixel data does not match its size.
std::string EncodeJpeg(const ScreenPicture& picture, int quality);

// Reduces the picture to 16 colours and writes it to path as JPEG of quality 15, replacing the
// file atomically. Throws Error when it cannot be written.
void SaveScreenCapture(std::string_view path, ScreenPicture picture);

}  // namespace quillo
