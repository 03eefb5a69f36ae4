#include "practice/media_pictures.h"

#include <csetjmp>
#include <cstring>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace quillo {
namespace {

bool FitsPixelLimit(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPicturePixels && height <= kMaxPicturePixels &&
         width * height <= kMaxPicturePixels;
}

// --- JPEG ------------------------------------------------------------------------------------

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back here
// instead of ending the process.
struct JpegErrorJump {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<JpegErrorJump*>(info->err);
  std::longjmp(err->jump, 1);
}

void JpegSilent(j_common_ptr, int) {}

// Everything that needs destruction lives outside the function that calls setjmp, so the jump
// skips no destructor.
struct JpegState {
  jpeg_decompress_struct info{};
  JpegErrorJump err{};
  bool created = false;
  ~JpegState() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

bool DecodeJpegInto(JpegState& s, const unsigned char* data, unsigned long size, Picture24& out,
                    std::vector<unsigned char>& row) {
  s.info.err = jpeg_std_error(&s.err.base);
  s.err.base.error_exit = JpegErrorExit;
  s.err.base.emit_message = JpegSilent;
  if (setjmp(s.err.jump)) return false;
  jpeg_create_decompress(&s.info);
  s.created = true;
  jpeg_mem_src(&s.info, data, size);
  if (jpeg_read_header(&s.info, TRUE) != JPEG_HEADER_OK) return false;
  if (s.info.jpeg_color_space == JCS_CMYK || s.info.jpeg_color_space == JCS_YCCK) return false;
  if (!FitsPixelLimit(s.info.image_width, s.info.image_height)) return false;
  s.info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&s.info);
  if (s.info.output_components != 3) return false;
  out.width = static_cast<int>(s.info.output_width);
  out.height = static_cast<int>(s.info.output_height);
  if (!FitsPixelLimit(out.width, out.height)) return false;
  const std::size_t stride = static_cast<std::size_t>(out.width) * 3;
  out.rgb.resize(stride * static_cast<std::size_t>(out.height));
  row.resize(stride);
  while (s.info.output_scanline < s.info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const JDIMENSION y = s.info.output_scanline;
    if (jpeg_read_scanlines(&s.info, rows, 1) != 1) return false;
    std::memcpy(out.rgb.data() + stride * y, row.data(), stride);
  }
  jpeg_finish_decompress(&s.info);
  return true;
}

// --- BMP -------------------------------------------------------------------------------------

uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

}  // namespace

std::optional<Picture24> DecodeJpeg(std::string_view bytes) {
  if (bytes.size() < 4) return std::nullopt;
  Picture24 picture;
  std::vector<unsigned char> row;
  {
    JpegState state;
    if (!DecodeJpegInto(state, reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<unsigned long>(bytes.size()), picture, row)) {
      return std::nullopt;
    }
  }
  return picture;
}

std::optional<Picture24> DecodeBmp(std::string_view b) {
  constexpr std::size_t kFileHeader = 14;
  if (b.size() < kFileHeader + 40 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  const uint32_t pixelOffset = U32(b, 10);
  const uint32_t infoSize = U32(b, 14);
  if (infoSize < 40 || infoSize > b.size() - kFileHeader) return std::nullopt;
  const int64_t width = static_cast<int32_t>(U32(b, 18));
  const int64_t rawHeight = static_cast<int32_t>(U32(b, 22));
  const uint32_t planes = U16(b, 26);
  const uint32_t bits = U16(b, 28);
  const uint32_t compression = U32(b, 30);
  uint32_t colours = U32(b, 46);
  const bool topDown = rawHeight < 0;
  const int64_t height = topDown ? -rawHeight : rawHeight;
  if (planes != 1 || !FitsPixelLimit(width, height)) return std::nullopt;
  // Uncompressed only; 32-bit pictures may describe their plain layout as bit fields.
  if (!(compression == 0 || (compression == 3 && bits == 32))) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;

  const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  if (pixelOffset > b.size() || stride * static_cast<uint64_t>(height) > b.size() - pixelOffset) {
    return std::nullopt;
  }
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  if (bits <= 8) {
    const uint32_t most = 1u << bits;
    if (colours == 0 || colours > most) colours = most;
    const std::size_t paletteAt = kFileHeader + infoSize;
    // The palette lies between the headers and the pixels; fewer entries than announced are read
    // as far as they go, and a pixel naming a missing entry is black.
    std::size_t available =
        pixelOffset > paletteAt ? (std::size_t{pixelOffset} - paletteAt) / 4 : 0;
    if (available > colours) available = colours;
    for (std::size_t i = 0; i < available; ++i) {
      palette.push_back(U32(b, paletteAt + 4 * i) & 0xFFFFFF);
    }
  }

  Picture24 picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.rgb.resize(static_cast<std::size_t>(width * height * 3));
  for (int64_t y = 0; y < height; ++y) {
    const int64_t sourceRow = topDown ? y : height - 1 - y;
    const std::size_t rowAt = pixelOffset + static_cast<std::size_t>(stride * sourceRow);
    char* out = picture.rgb.data() + static_cast<std::size_t>(y * width * 3);
    for (int64_t x = 0; x < width; ++x, out += 3) {
      uint32_t r = 0, g = 0, bl = 0;
      if (bits >= 24) {
        const std::size_t at = rowAt + static_cast<std::size_t>(x * (bits / 8));
        bl = static_cast<unsigned char>(b[at]);
        g = static_cast<unsigned char>(b[at + 1]);
        r = static_cast<unsigned char>(b[at + 2]);
      } else {
        const uint64_t bit = static_cast<uint64_t>(x) * bits;
        const auto byte = static_cast<unsigned char>(b[rowAt + static_cast<std::size_t>(bit / 8)]);
        const uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        const uint32_t colour = index < palette.size() ? palette[index] : 0;
        r = colour >> 16 & 0xFF;
        g = colour >> 8 & 0xFF;
        bl = colour & 0xFF;
      }
      out[0] = static_cast<char>(r);
      out[1] = static_cast<char>(g);
      out[2] = static_cast<char>(bl);
    }
  }
  return picture;
}

}  // namespace quillo
