// Decoding of the picture entries of media libraries (JPEG through libjpeg, Windows bitmaps by
// hand) into plain 24-bit pictures a view can show. Damaged or hostile data is refused, never
// read past its end, and no picture larger than kMaxPicturePixels is allocated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo {

// Rows from the top, 3 bytes per pixel in the order red, green, blue, no padding.
struct Picture24 {
  int width = 0;
  int height = 0;
  std::string rgb;
};

inline constexpr int64_t kMaxPicturePixels = 40'000'000;

// A baseline or progressive JPEG (colour or grey); nothing for damaged data, CMYK pictures and
// pictures above the size limit.
std::optional<Picture24> DecodeJpeg(std::string_view bytes);

// An uncompressed Windows bitmap of 1, 4, 8 (with palette), 24 or 32 bits per pixel, bottom-up or
// top-down; nothing for any other kind and for a header that does not fit the data.
std::optional<Picture24> DecodeBmp(std::string_view bytes);

}  // namespace quillo
