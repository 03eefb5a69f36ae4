#include "draw/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace quillo::draw {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// The channel value after blending black over the ground at the coverage.
int Blended(int ground, double coverage) {
  return static_cast<int>(std::lrint((1.0 - coverage) * ground));
}

QRgb BlackOverGround(double coverage) {
  return qRgb(Blended(192, coverage), Blended(220, coverage), Blended(192, coverage));
}

// Every pixel that differs from the ground, by position.
std::map<std::pair<int, int>, QRgb> Changed(const QImage& picture) {
  std::map<std::pair<int, int>, QRgb> changed;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (PixelAt(picture, x, y) != kGround) changed[{x, y}] = PixelAt(picture, x, y);
    }
  }
  return changed;
}

TEST(NewPicture, IsA24BitPictureOnTheGround) {
  QImage picture = NewPicture(5, 3);
  EXPECT_EQ(picture.format(), QImage::Format_RGB888);
  EXPECT_EQ(picture.size(), QSize(5, 3));
  EXPECT_TRUE(Changed(picture).empty());
  EXPECT_EQ(picture.logicalDpiX(), 96);
  EXPECT_TRUE(NewPicture(0, 3).isNull());
  EXPECT_TRUE(NewPicture(4, -1).isNull());
  EXPECT_EQ(NewPicture(kMaxPictureSide + 5, 2).width(), kMaxPictureSide);
}

TEST(BlendPixel, MixesEachChannelAndIgnoresPixelsOutside) {
  QImage picture = NewPicture(3, 3);
  BlendPixel(picture, 1, 1, 0.25, kBlack);
  EXPECT_EQ(PixelAt(picture, 1, 1), qRgb(144, 165, 144));
  BlendPixel(picture, 0, 0, 0.5, kWhite);
  EXPECT_EQ(PixelAt(picture, 0, 0), qRgb(224, 238, 224));
  BlendPixel(picture, 2, 2, 1.0, qRgb(10, 20, 30));
  EXPECT_EQ(PixelAt(picture, 2, 2), qRgb(10, 20, 30));
  BlendPixel(picture, 2, 0, 0.0, kBlack);
  BlendPixel(picture, 2, 1, -3.0, kBlack);  // the coverage is limited to 0..1
  BlendPixel(picture, 0, 2, 7.0, kBlack);
  EXPECT_EQ(PixelAt(picture, 2, 0), kGround);
  EXPECT_EQ(PixelAt(picture, 2, 1), kGround);
  EXPECT_EQ(PixelAt(picture, 0, 2), kBlack);

  const QImage before = picture.copy();
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 1}, {1, 3}, {-5000, 90000}}) {
    BlendPixel(picture, x, y, 1.0, kBlack);
  }
  EXPECT_EQ(picture, before);
}

TEST(SmoothLine, HorizontalAndVerticalStrokesAreNotAntiAliased) {
  const struct {
    QPoint from, to;
    std::vector<std::pair<int, int>> pixels;  // the end point is not drawn
  } cases[] = {
      {{1, 2}, {5, 2}, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
      {{5, 2}, {1, 2}, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
      {{3, 0}, {3, 4}, {{3, 0}, {3, 1}, {3, 2}, {3, 3}}},
      {{3, 4}, {3, 1}, {{3, 4}, {3, 3}, {3, 2}}},
      {{2, 2}, {2, 2}, {}},
      {{-4, 1}, {2, 1}, {{0, 1}, {1, 1}}},  // only the part on the picture
  };
  for (const auto& c : cases) {
    QImage picture = NewPicture(7, 6);
    SmoothLine(picture, c.from, c.to, kBlack);
    std::map<std::pair<int, int>, QRgb> expected;
    for (auto p : c.pixels) expected[p] = kBlack;
    EXPECT_EQ(Changed(picture), expected) << c.from.x() << "," << c.from.y();
  }
}

TEST(SmoothLine, ADiagonalStrokeBlendsTwoPixelsPerStep) {
  // Flat: x steps from the left end point, y advances by 1/4.
  std::map<std::pair<int, int>, QRgb> flat = {
      {{0, 0}, BlackOverGround(1.0)},  {{1, 0}, BlackOverGround(0.75)},
      {{1, 1}, BlackOverGround(0.25)}, {{2, 0}, BlackOverGround(0.5)},
      {{2, 1}, BlackOverGround(0.5)},  {{3, 0}, BlackOverGround(0.25)},
      {{3, 1}, BlackOverGround(0.75)}, {{4, 1}, BlackOverGround(1.0)},
  };
  for (auto [from, to] : {std::pair{QPoint(0, 0), QPoint(4, 1)}, {QPoint(4, 1), QPoint(0, 0)}}) {
    QImage picture = NewPicture(6, 4);
    SmoothLine(picture, from, to, kBlack);
    EXPECT_EQ(Changed(picture), flat);
  }
  // Steep and rising to the right: y steps from the upper end point, x moves back by 1/4.
  std::map<std::pair<int, int>, QRgb> steep = {
      {{3, 0}, BlackOverGround(1.0)},  {{2, 1}, BlackOverGround(0.25)},
      {{3, 1}, BlackOverGround(0.75)}, {{2, 2}, BlackOverGround(0.5)},
      {{3, 2}, BlackOverGround(0.5)},  {{2, 3}, BlackOverGround(0.75)},
      {{3, 3}, BlackOverGround(0.25)}, {{2, 4}, BlackOverGround(1.0)},
  };
  QImage picture = NewPicture(6, 6);
  SmoothLine(picture, QPoint(2, 4), QPoint(3, 0), kBlack);
  EXPECT_EQ(Changed(picture), steep);
  // At 45 degrees every step lands on a whole pixel.
  QImage diagonal = NewPicture(4, 4);
  SmoothLine(diagonal, QPoint(0, 0), QPoint(3, 3), kBlack);
  EXPECT_EQ(Changed(diagonal), (std::map<std::pair<int, int>, QRgb>{
                                   {{0, 0}, kBlack}, {{1, 1}, kBlack}, {{2, 2}, kBlack},
                                   {{3, 3}, kBlack}}));
}

TEST(SmoothLine, LinesLeavingThePictureAreCut) {
  QImage picture = NewPicture(4, 4);
  SmoothLine(picture, QPoint(-2, -1), QPoint(6, 3), kBlack);
  EXPECT_EQ(PixelAt(picture, 0, 0), BlackOverGround(1.0));
  EXPECT_EQ(PixelAt(picture, 1, 1), BlackOverGround(0.5));
  EXPECT_EQ(PixelAt(picture, 2, 1), BlackOverGround(1.0));
  // Far-away end points cost nothing.
  SmoothLine(picture, QPoint(-1000000, 3), QPoint(1000000, 3), kBlack);
  SmoothLine(picture, QPoint(-1000000, 5), QPoint(1000000, -7), kBlack);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(picture, x, 3), kBlack);
}

TEST(DottedLine, DrawsThreePixelsOnAndThreeOff) {
  QImage picture = NewPicture(16, 2);
  DottedLine(picture, QPoint(0, 1), QPoint(14, 1), kBlack);
  std::string row;
  for (int x = 0; x < 16; ++x) row += PixelAt(picture, x, 1) == kBlack ? '#' : '.';
  EXPECT_EQ(row, "###...###...##..");
  EXPECT_EQ(PixelAt(picture, 0, 0), kGround);
}

TEST(FloodFill, FillsTheAreaBoundedByASmoothLine) {
  // A smooth diagonal from the bottom left to the top right closes the lower right triangle
  // for a four-connected fill.
  QImage picture = NewPicture(20, 12);
  SmoothLine(picture, QPoint(0, 11), QPoint(19, 2), kBlack);
  FloodFill(picture, 18, 10, kGround, kWhite);
  EXPECT_EQ(PixelAt(picture, 18, 10), kWhite);
  EXPECT_EQ(PixelAt(picture, 19, 11), kWhite);
  EXPECT_EQ(PixelAt(picture, 1, 1), kGround);  // above the line
  EXPECT_EQ(PixelAt(picture, 0, 0), kGround);
  for (int x = 0; x < 20; ++x) {
    // Each column is filled only below the line.
    bool below = false;
    for (int y = 0; y < 12; ++y) {
      QRgb p = PixelAt(picture, x, y);
      if (p == kWhite) below = true;
      if (below) {
        EXPECT_NE(p, kGround) << x << "," << y;
      }
    }
  }
  // A seed on another colour or outside fills nothing.
  const QImage before = picture.copy();
  FloodFill(picture, 0, 11, kGround, kWhite);
  FloodFill(picture, -1, 3, kGround, kWhite);
  FloodFill(picture, 3, 40, kGround, kWhite);
  EXPECT_EQ(picture, before);
}

TEST(DarkenCopy, KeepsTheDarkerChannelAndClipsAtTheEdges) {
  QImage target = NewPicture(4, 3, qRgb(100, 200, 50));
  QImage symbol = NewPicture(3, 2, qRgb(150, 100, 150));
  symbol.setPixel(0, 0, qRgb(0, 0, 0));
  DarkenCopy(target, symbol, 2, 1);
  EXPECT_EQ(PixelAt(target, 2, 1), qRgb(0, 0, 0));
  EXPECT_EQ(PixelAt(target, 3, 2), qRgb(100, 100, 50));
  EXPECT_EQ(PixelAt(target, 1, 1), qRgb(100, 200, 50));
  EXPECT_EQ(PixelAt(target, 3, 0), qRgb(100, 200, 50));
}

}  // namespace
}  // namespace quillo::draw
