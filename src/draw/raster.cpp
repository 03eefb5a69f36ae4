#include "draw/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "shell/codec.h"

namespace quillo::draw {

namespace {

constexpr int kDotsPerMeter96 = 3780;  // 96 dots per inch

bool Inside(const QImage& picture, int x, int y) {
  return x >= 0 && y >= 0 && x < picture.width() && y < picture.height();
}

uchar* PixelPointer(QImage& picture, int x, int y) { return picture.scanLine(y) + 3 * x; }

void SetPixel(QImage& picture, int x, int y, QRgb colour) {
  if (!Inside(picture, x, y)) return;
  uchar* p = PixelPointer(picture, x, y);
  p[0] = static_cast<uchar>(qRed(colour));
  p[1] = static_cast<uchar>(qGreen(colour));
  p[2] = static_cast<uchar>(qBlue(colour));
}

// The pixels of a line from `from` towards `to`, end point excluded (Bresenham).
template <typename Visit>
void WalkLine(QPoint from, QPoint to, Visit visit) {
  int x = from.x(), y = from.y();
  const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
  const int stepX = x < to.x() ? 1 : -1, stepY = y < to.y() ? 1 : -1;
  int error = dx + dy;
  int index = 0;
  while (x != to.x() || y != to.y()) {
    visit(x, y, index++);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

}  // namespace

QImage NewPicture(int width, int height, QRgb fill) {
  if (width <= 0 || height <= 0) return QImage();
  QImage picture(std::min(width, kMaxPictureSide), std::min(height, kMaxPictureSide),
                 QImage::Format_RGB888);
  if (picture.isNull()) return picture;
  picture.setDotsPerMeterX(kDotsPerMeter96);
  picture.setDotsPerMeterY(kDotsPerMeter96);
  picture.fill(QColor::fromRgb(fill));
  return picture;
}

QRgb PixelAt(const QImage& picture, int x, int y) {
  if (!Inside(picture, x, y)) return kBlack;
  return picture.pixel(x, y);
}

void BlendPixel(QImage& picture, int x, int y, double coverage, QRgb colour) {
  if (!Inside(picture, x, y) || picture.format() != QImage::Format_RGB888) return;
  if (!(coverage >= 0.0)) coverage = 0.0;  // also a NaN
  coverage = std::min(coverage, 1.0);
  uchar* p = PixelPointer(picture, x, y);
  const int channels[3] = {qRed(colour), qGreen(colour), qBlue(colour)};
  for (int i = 0; i < 3; ++i) {
    const double mixed = coverage * channels[i] + (1.0 - coverage) * p[i];
    p[i] = static_cast<uchar>(std::clamp(std::lrint(mixed), 0L, 255L));
  }
}

void PlainLine(QImage& picture, QPoint from, QPoint to, QRgb colour) {
  if (picture.format() != QImage::Format_RGB888) return;
  // Only the part that can touch the picture is walked, so a far-away end point costs nothing.
  const int limit = 4 * kMaxPictureSide;
  auto clampPoint = [limit](QPoint p) {
    return QPoint(std::clamp(p.x(), -limit, limit), std::clamp(p.y(), -limit, limit));
  };
  WalkLine(clampPoint(from), clampPoint(to),
           [&](int x, int y, int) { SetPixel(picture, x, y, colour); });
}

void SmoothLine(QImage& picture, QPoint from, QPoint to, QRgb colour) {
  if (from.x() == to.x() || from.y() == to.y()) {
    PlainLine(picture, from, to, colour);
    return;
  }
  const long dx = std::labs(static_cast<long>(to.x()) - from.x());
  const long dy = std::labs(static_cast<long>(to.y()) - from.y());
  if (dx > 4L * kMaxPictureSide || dy > 4L * kMaxPictureSide) return;
  if (dy < dx) {
    const QPoint left = from.x() < to.x() ? from : to;
    const QPoint right = from.x() < to.x() ? to : from;
    const double gradient = static_cast<double>(dy) / dx * (right.y() > left.y() ? 1 : -1);
    double y = left.y();
    for (long step = 0; step <= dx; ++step) {
      const int x = left.x() + static_cast<int>(step);
      const double whole = std::floor(y);
      const double fraction = y - whole;
      BlendPixel(picture, x, static_cast<int>(whole), 1.0 - fraction, colour);
      BlendPixel(picture, x, static_cast<int>(whole) + 1, fraction, colour);
      y += gradient;
    }
  } else {
    const QPoint upper = from.y() < to.y() ? from : to;
    const QPoint lower = from.y() < to.y() ? to : from;
    const double gradient = static_cast<double>(dx) / dy * (lower.x() > upper.x() ? 1 : -1);
    double x = upper.x();
    for (long step = 0; step <= dy; ++step) {
      const int y = upper.y() + static_cast<int>(step);
      const double whole = std::floor(x);
      const double fraction = x - whole;
      BlendPixel(picture, static_cast<int>(whole), y, 1.0 - fraction, colour);
      BlendPixel(picture, static_cast<int>(whole) + 1, y, fraction, colour);
      x += gradient;
    }
  }
}

void DottedLine(QImage& picture, QPoint from, QPoint to, QRgb colour) {
  if (picture.format() != QImage::Format_RGB888) return;
  const int limit = 4 * kMaxPictureSide;
  auto clampPoint = [limit](QPoint p) {
    return QPoint(std::clamp(p.x(), -limit, limit), std::clamp(p.y(), -limit, limit));
  };
  WalkLine(clampPoint(from), clampPoint(to), [&](int x, int y, int index) {
    if (index % 6 < 3) SetPixel(picture, x, y, colour);
  });
}

void FloodFill(QImage& picture, int x, int y, QRgb surface, QRgb fill) {
  if (!Inside(picture, x, y) || picture.format() != QImage::Format_RGB888) return;
  surface |= 0xFF000000;
  fill |= 0xFF000000;
  if (surface == fill || picture.pixel(x, y) != surface) return;
  auto isSurface = [&](int px, int py) { return picture.pixel(px, py) == surface; };
  std::vector<QPoint> seeds{QPoint(x, y)};
  while (!seeds.empty()) {
    QPoint seed = seeds.back();
    seeds.pop_back();
    const int row = seed.y();
    if (!isSurface(seed.x(), row)) continue;
    int left = seed.x();
    while (left > 0 && isSurface(left - 1, row)) --left;
    int right = seed.x();
    while (right + 1 < picture.width() && isSurface(right + 1, row)) ++right;
    for (int px = left; px <= right; ++px) SetPixel(picture, px, row, fill);
    for (int neighbour : {row - 1, row + 1}) {
      if (neighbour < 0 || neighbour >= picture.height()) continue;
      bool inRun = false;
      for (int px = left; px <= right; ++px) {
        const bool open = isSurface(px, neighbour);
        if (open && !inRun) seeds.emplace_back(px, neighbour);
        inRun = open;
      }
    }
  }
}

void DarkenCopy(QImage& target, const QImage& source, int x, int y) {
  if (target.format() != QImage::Format_RGB888 || source.isNull()) return;
  const QImage src = source.format() == QImage::Format_RGB888
                         ? source
                         : source.convertToFormat(QImage::Format_RGB888);
  for (int sy = 0; sy < src.height(); ++sy) {
    const int ty = y + sy;
    if (ty < 0 || ty >= target.height()) continue;
    const uchar* in = src.constScanLine(sy);
    uchar* out = target.scanLine(ty);
    for (int sx = 0; sx < src.width(); ++sx) {
      const int tx = x + sx;
      if (tx < 0 || tx >= target.width()) continue;
      for (int c = 0; c < 3; ++c) out[3 * tx + c] = std::min(out[3 * tx + c], in[3 * sx + c]);
    }
  }
}

QFont PictureFont(const QStringList& families, double pointSize) {
  QFont font;
  font.setFamilies(families);
  font.setPointSizeF(pointSize);
  return font;
}

QStringList ProportionalFamilies() { return {"Tahoma", "DejaVu Sans Condensed", "DejaVu Sans"}; }
QStringList FixedPitchFamilies() { return {"Courier New", "DejaVu Sans Mono"}; }

QString ToQString(std::string_view text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

}  // namespace quillo::draw
