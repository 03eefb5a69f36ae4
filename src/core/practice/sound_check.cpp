// A first look at sound files.
#include "practice/sound_check.h"

#include <fstream>

#include "shell/file_utils.h"

namespace quillo {

namespace {

// Kilobits per second by bit-rate index (1..14): MPEG 1 layers I, II, III, then MPEG 2 and 2.5
// layer I and layers II and III.
constexpr int kBitRates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr int kSampleRates[3] = {44100, 48000, 32000};  // MPEG 1; halved for 2, quartered for 2.5

std::size_t FrameAt(std::string_view bytes, std::size_t at) {
  return at < bytes.size() ? MpegFrameLength(bytes.substr(at)) : 0;
}

}  // namespace

std::size_t MpegFrameLength(std::string_view bytes) {
  if (bytes.size() < 4) return 0;
  const auto b0 = static_cast<unsigned char>(bytes[0]);
  const auto b1 = static_cast<unsigned char>(bytes[1]);
  const auto b2 = static_cast<unsigned char>(bytes[2]);
  if (b0 != 0xFF || (b1 & 0xE0) != 0xE0) return 0;
  const int version = (b1 >> 3) & 3;  // 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
  const int layer = (b1 >> 1) & 3;    // 1 layer III, 2 layer II, 3 layer I, 0 reserved
  const int rateIndex = b2 >> 4;
  const int sampleIndex = (b2 >> 2) & 3;
  const int padding = (b2 >> 1) & 1;
  if (version == 1 || layer == 0 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3) return 0;
  const bool mpeg1 = version == 3;
  const int table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
  const long bitRate = kBitRates[table][rateIndex] * 1000L;
  const long sampleRate = kSampleRates[sampleIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
  if (layer == 3) return static_cast<std::size_t>((12 * bitRate / sampleRate + padding) * 4);
  const long factor = layer == 1 && !mpeg1 ? 72 : 144;
  return static_cast<std::size_t>(factor * bitRate / sampleRate + padding);
}

bool LooksLikeSound(std::string_view bytes) {
  if (bytes.size() >= 12 && bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "WAVE")
    return true;
  std::size_t start = 0;
  if (bytes.size() >= 10 && bytes.substr(0, 3) == "ID3") {
    // The tag's size: four bytes of seven bits each, after the ten bytes of its header.
    std::size_t size = 0;
    for (int i = 6; i < 10; ++i) {
      const auto b = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
      if (b & 0x80) return false;
      size = size << 7 | b;
    }
    start = 10 + size;
    if (start >= bytes.size()) return true;  // the frames lie past what was given
  }
  const std::size_t first = FrameAt(bytes, start);
  if (first == 0) return false;
  const std::size_t next = start + first;
  // A sound of one frame ends there; a longer one goes on with another frame.
  if (next + 4 > bytes.size()) return next >= bytes.size() || bytes.size() - next < 4;
  return FrameAt(bytes, next) != 0;
}

bool FileLooksLikeSound(std::string_view path) {
  std::ifstream in(SystemPath(path), std::ios::binary);
  if (!in) return false;
  std::string head(256 * 1024, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return LooksLikeSound(head);
}

}  // namespace quillo
