// Screenshots: colour reduction (median cut) and JPEG encoding with libjpeg.
#include "shell/screen_capture.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <algorithm>
#include <array>
#include <csetjmp>
#include <limits>

#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {

namespace {

constexpr int kBins = 1 << 15;  // colours cut to 5 bits per channel

int BinOf(const uint8_t* px) { return (px[0] >> 3) << 10 | (px[1] >> 3) << 5 | (px[2] >> 3); }

// The colours of one histogram bin: pixel count and channel sums.
struct Bin {
  uint64_t count = 0;
  uint64_t sum[3] = {0, 0, 0};
};

// A box of bins of the median cut.
struct Box {
  std::vector<int> bins;
  uint64_t count = 0;
  int lo[3] = {31, 31, 31};
  int hi[3] = {0, 0, 0};

  void Measure(const std::vector<Bin>& histogram) {
    count = 0;
    for (int c = 0; c < 3; ++c) {
      lo[c] = 31;
      hi[c] = 0;
    }
    for (int b : bins) {
      count += histogram[static_cast<std::size_t>(b)].count;
      for (int c = 0; c < 3; ++c) {
        const int v = (b >> (10 - 5 * c)) & 31;
        lo[c] = std::min(lo[c], v);
        hi[c] = std::max(hi[c], v);
      }
    }
  }
  int WidestChannel() const {
    int best = 0;
    for (int c = 1; c < 3; ++c)
      if (hi[c] - lo[c] > hi[best] - lo[best]) best = c;
    return best;
  }
  int Width() const { return hi[WidestChannel()] - lo[WidestChannel()]; }
};

// At most `wanted` exact colours of the picture, or nothing when it has more.
bool FewColours(const ScreenPicture& picture, int wanted) {
  std::vector<uint32_t> seen;
  const std::size_t pixels = picture.rgb.size() / 3;
  for (std::size_t i = 0; i < pixels; ++i) {
    const uint8_t* px = &picture.rgb[i * 3];
    const uint32_t colour = uint32_t{px[0]} << 16 | uint32_t{px[1]} << 8 | px[2];
    if (std::find(seen.begin(), seen.end(), colour) != seen.end()) continue;
    if (static_cast<int>(seen.size()) == wanted) return false;
    seen.push_back(colour);
  }
  return true;
}

struct JpegFailure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// The compressed bytes go to a text, block by block.
struct JpegSink {
  jpeg_destination_mgr manager;  // first, so that info->dest is the sink
  std::string* out = nullptr;
  JOCTET block[4096];
};

void OnJpegError(j_common_ptr info) {
  auto* failure = reinterpret_cast<JpegFailure*>(info->err);
  (*info->err->format_message)(info, failure->message);
  std::longjmp(failure->jump, 1);
}

}  // namespace

void ReduceColours(ScreenPicture& picture, int colours) {
  colours = std::max(colours, 1);
  if (picture.rgb.empty() || FewColours(picture, colours)) return;
  const std::size_t pixels = picture.rgb.size() / 3;
  std::vector<Bin> histogram(kBins);
  for (std::size_t i = 0; i < pixels; ++i) {
    const uint8_t* px = &picture.rgb[i * 3];
    Bin& bin = histogram[static_cast<std::size_t>(BinOf(px))];
    ++bin.count;
    for (int c = 0; c < 3; ++c) bin.sum[c] += px[c];
  }

  std::vector<Box> boxes(1);
  for (int b = 0; b < kBins; ++b)
    if (histogram[static_cast<std::size_t>(b)].count > 0) boxes[0].bins.push_back(b);
  boxes[0].Measure(histogram);
  // Split the widest box at the median of its widest channel until there are enough boxes.
  while (static_cast<int>(boxes.size()) < colours) {
    auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
      return a.Width() < b.Width();
    });
    if (widest->Width() == 0) break;
    const int channel = widest->WidestChannel();
    const int shift = 10 - 5 * channel;
    std::vector<int>& bins = widest->bins;
    std::sort(bins.begin(), bins.end(),
              [shift](int a, int b) { return ((a >> shift) & 31) < ((b >> shift) & 31); });
    uint64_t running = 0;
    std::size_t cut = 1;
    for (std::size_t i = 0; i + 1 < bins.size(); ++i) {
      running += histogram[static_cast<std::size_t>(bins[i])].count;
      cut = i + 1;
      if (running * 2 >= widest->count) break;
    }
    // Bins of equal value stay together; the box is wider than one value, so a cut exists.
    const int value = (bins[cut - 1] >> shift) & 31;
    while (cut < bins.size() && ((bins[cut] >> shift) & 31) == value) ++cut;
    if (cut == bins.size()) {
      cut = 1;
      const int first = (bins[0] >> shift) & 31;
      while (((bins[cut] >> shift) & 31) == first) ++cut;
    }
    Box upper;
    upper.bins.assign(bins.begin() + static_cast<long>(cut), bins.end());
    bins.resize(cut);
    widest->Measure(histogram);
    upper.Measure(histogram);
    boxes.push_back(std::move(upper));
  }

  // Each box's colour is the mean of its pixels; each bin takes the nearest palette colour.
  std::vector<std::array<int, 3>> palette;
  for (const Box& box : boxes) {
    uint64_t sum[3] = {0, 0, 0};
    for (int b : box.bins)
      for (int c = 0; c < 3; ++c) sum[c] += histogram[static_cast<std::size_t>(b)].sum[c];
    std::array<int, 3> colour{};
    for (int c = 0; c < 3; ++c)
      colour[static_cast<std::size_t>(c)] = static_cast<int>((sum[c] + box.count / 2) / box.count);
    palette.push_back(colour);
  }
  std::vector<uint8_t> nearest(kBins, 0);
  for (int b = 0; b < kBins; ++b) {
    if (histogram[static_cast<std::size_t>(b)].count == 0) continue;
    const Bin& bin = histogram[static_cast<std::size_t>(b)];
    int mean[3];
    for (int c = 0; c < 3; ++c) mean[c] = static_cast<int>(bin.sum[c] / bin.count);
    int best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (std::size_t p = 0; p < palette.size(); ++p) {
      long distance = 0;
      for (int c = 0; c < 3; ++c) {
        const long d = mean[c] - palette[p][static_cast<std::size_t>(c)];
        distance += d * d;
      }
      if (distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<int>(p);
      }
    }
    nearest[static_cast<std::size_t>(b)] = static_cast<uint8_t>(best);
  }
  for (std::size_t i = 0; i < pixels; ++i) {
    uint8_t* px = &picture.rgb[i * 3];
    const std::array<int, 3>& colour = palette[nearest[static_cast<std::size_t>(BinOf(px))]];
    for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>(colour[static_cast<std::size_t>(c)]);
  }
}

std::string EncodeJpeg(const ScreenPicture& picture, int quality) {
  if (picture.width <= 0 || picture.height <= 0) throw Error("Error: empty screen picture");
  if (picture.rgb.size() !=
      static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3)
    throw Error("Error: screen picture data does not match its size");

  std::string out;
  JpegSink sink;
  sink.out = &out;
  sink.manager.init_destination = [](j_compress_ptr info) {
    auto* s = reinterpret_cast<JpegSink*>(info->dest);
    s->manager.next_output_byte = s->block;
    s->manager.free_in_buffer = sizeof s->block;
  };
  sink.manager.empty_output_buffer = [](j_compress_ptr info) -> boolean {
    auto* s = reinterpret_cast<JpegSink*>(info->dest);
    s->out->append(reinterpret_cast<const char*>(s->block), sizeof s->block);
    s->manager.next_output_byte = s->block;
    s->manager.free_in_buffer = sizeof s->block;
    return TRUE;
  };
  sink.manager.term_destination = [](j_compress_ptr info) {
    auto* s = reinterpret_cast<JpegSink*>(info->dest);
    s->out->append(reinterpret_cast<const char*>(s->block),
                   sizeof s->block - s->manager.free_in_buffer);
  };

  jpeg_compress_struct info;
  JpegFailure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = OnJpegError;
  // Everything with a destructor lives before setjmp, so jumping back skips none.
  if (setjmp(failure.jump)) {
    jpeg_destroy_compress(&info);
    throw Error(std::string("Error: JPEG: ") + failure.message);
  }
  jpeg_create_compress(&info);
  info.dest = &sink.manager;
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&picture.rgb[info.next_scanline * stride]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return out;
}

void SaveScreenCapture(std::string_view path, ScreenPicture picture) {
  ReduceColours(picture, kScreenCaptureColours);
  WriteFileAtomic(path, EncodeJpeg(picture, kScreenCaptureQuality));
}

}  // namespace quillo
