#include "draw/curve_picture.h"

#include <gtest/gtest.h>

#include "draw/raster.h"

namespace quillo::draw {
namespace {

using Points = std::vector<QPoint>;

bool Dark(QRgb p) { return qRed(p) < 120 && qGreen(p) < 140 && qBlue(p) < 120; }

TEST(ScaleToPixels, RoundsEachValueToThePlotHeight) {
  EXPECT_EQ(ScaleToPixels(200, {0, 50, 100, 85}), (std::vector<int>{0, 100, 200, 170}));
  // Halves go to the even neighbour.
  EXPECT_EQ(ScaleToPixels(150, {15, 25, 1}), (std::vector<int>{22, 38, 2}));
  EXPECT_TRUE(ScaleToPixels(100, {}).empty());
}

TEST(ComputeCurve, CentresTheAverageAndGivesTheLegendValues) {
  CurveGeometry g = ComputeCurve(360, 200, {40, 55, 70, 85}, true, 20, -1, 85, 75);
  // Upside down: 120, 90, 60, 30; average 75, moved to mid-height by the offset 25.
  EXPECT_EQ(g.offset, 25);
  EXPECT_EQ(g.averageY, 100);
  EXPECT_EQ(g.step, 120);
  EXPECT_EQ(g.points, (Points{{0, 145}, {120, 115}, {240, 85}, {360, 55}, {360, 200}}));
  EXPECT_EQ(g.reference1Y, 55);
  EXPECT_EQ(g.reference2Y, 75);
  EXPECT_EQ(g.averageValue, 12);  // 62 % of 20 units (62,5 % rounded to even)
  EXPECT_EQ(g.reference1Value, 17);
  EXPECT_EQ(g.reference2Value, 15);

  // Without the average nothing is centred: the automatic offset is none.
  CurveGeometry plain = ComputeCurve(360, 200, {40, 55}, false, 100, -1, 85, 75);
  EXPECT_EQ(plain.offset, 0);
  EXPECT_EQ(plain.averageY, -1);
  EXPECT_EQ(plain.points, (Points{{0, 120}, {360, 90}, {360, 200}}));
  EXPECT_EQ(plain.reference1Y, 30);
}

TEST(ComputeCurve, ASingleScoreIsOnePointAndItsClosingPoint) {
  CurveGeometry g = ComputeCurve(360, 200, {60}, true, 100, -1, 85, 75);
  EXPECT_EQ(g.step, 0);
  EXPECT_EQ(g.points, (Points{{0, 100}, {0, 200}}));
  EXPECT_EQ(g.averageValue, 60);
  EXPECT_EQ(g.fillSeed, QPoint(-1, -1));  // no area under one point
  EXPECT_TRUE(ComputeCurve(360, 200, {}, true, 100, -1, 85, 75).points.empty());
}

TEST(ComputeCurve, PointsAfterTheFirstStayThreePixelsAboveTheBottom) {
  CurveGeometry g = ComputeCurve(300, 200, {100, 100, 0}, false, 100, 250, 85, 75);
  EXPECT_EQ(g.points, (Points{{0, 250}, {150, 197}, {300, 197}, {300, 200}}));
  EXPECT_EQ(g.fillSeed, QPoint(299, 199));
}

class CurvePicture : public ::testing::Test {
 protected:
  // The plot pixel (x, y) of the picture drawn for the scores.
  QRgb PlotPixel(int x, int y) const { return PixelAt(picture, x + kCurveMargin, y + kCurveMargin); }
  void Draw(const std::vector<int>& scores, bool average = true) {
    picture = QImage(420, 260, QImage::Format_ARGB32);
    DrawProgressCurve(picture, scores, average, 100, -1, 85, 75,
                      {"07/03 14:05", "08/03 09:12", "09/03 16:40", "11/03 10:02"});
  }
  QImage picture;
};

TEST_F(CurvePicture, FillsTheAreaUnderTheCurveAndDrawsTheReferenceLines) {
  Draw({40, 55, 70, 85});  // the geometry of ComputeCurve's example
  ASSERT_EQ(picture.size(), QSize(420, 260));
  EXPECT_EQ(picture.format(), QImage::Format_RGB888);
  EXPECT_EQ(PixelAt(picture, 0, 0), kBlack);  // the frame
  EXPECT_EQ(PixelAt(picture, 419, 259), kBlack);
  EXPECT_EQ(PixelAt(picture, 10, 10), kGround);
  EXPECT_EQ(PlotPixel(60, 180), kCurveFill);  // under the curve
  EXPECT_EQ(PlotPixel(300, 20), kGround);     // above it
  EXPECT_EQ(PlotPixel(120, 115), kCurveGreen);
  EXPECT_EQ(PlotPixel(60, 75), kCurveRed);  // reference 2, dotted
  EXPECT_EQ(PlotPixel(63, 75), kGround);
  EXPECT_EQ(PlotPixel(300, 55), kCurveGrey);  // reference 1
  EXPECT_EQ(PlotPixel(200, 100), kCurveTeal);  // the average
  EXPECT_EQ(PlotPixel(200, 199), kCurveBlue);  // the bottom edge
  EXPECT_EQ(PlotPixel(1, 50), kCurveBlue);     // the left edge
  // Tick lines from the points after the first down to the labels.
  EXPECT_EQ(PixelAt(picture, 30 + 120, 200), kCurveTick);
  EXPECT_EQ(PixelAt(picture, 30 + 120, 226), kCurveTick);
  EXPECT_EQ(PixelAt(picture, 30 + 120, 227), kCurveFill);  // 3 pixels above the margin
  // The legend: samples at the top right, values in front of them.
  EXPECT_EQ(PixelAt(picture, 380, 11), kCurveGrey);
  EXPECT_EQ(PixelAt(picture, 385, 21), kCurveTeal);
  EXPECT_EQ(PixelAt(picture, 380, 31), kCurveRed);
  auto anyDark = [this](int left, int top, int right, int bottom) {
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) {
        if (Dark(PixelAt(picture, x, y))) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(anyDark(355, 6, 378, 15));   // "85 p"
  EXPECT_TRUE(anyDark(30, 230, 55, 250));  // the first label, in black
  EXPECT_FALSE(anyDark(150, 230, 175, 234));  // the second label is 5 pixels lower, in grey
}

TEST_F(CurvePicture, FillsUnderTheCurveWhenTheFirstScoreLiesBelowThePlot) {
  Draw({0, 80, 90, 100});  // centring the average moves the first point below the plot
  EXPECT_EQ(PlotPixel(200, 150), kCurveFill);
  EXPECT_EQ(PlotPixel(200, 20), kGround);
}

TEST_F(CurvePicture, ASingleScoreFillsNothing) {
  Draw({60});
  EXPECT_EQ(PlotPixel(200, 150), kGround);
  EXPECT_EQ(PlotPixel(200, 100), kCurveTeal);
}

TEST_F(CurvePicture, ATooSmallTargetKeepsOnlyTheFrame) {
  picture = QImage(50, 40, QImage::Format_RGB888);
  DrawProgressCurve(picture, {10, 20}, true, 100, -1, 85, 75, {});
  ASSERT_EQ(picture.size(), QSize(50, 40));
  EXPECT_EQ(PixelAt(picture, 0, 0), kBlack);
  EXPECT_EQ(PixelAt(picture, 25, 20), kGround);
  QImage empty;
  DrawProgressCurve(empty, {10}, true, 100, -1, 85, 75, {});
  EXPECT_TRUE(empty.isNull());
  EXPECT_TRUE(ProgressCurvePicture(0, 10, {10}, true, 100, -1, 85, 75, {}).isNull());
  EXPECT_EQ(ProgressCurvePicture(50, 40, {10}, true, 100, -1, 85, 75, {}), picture);
}

TEST(TextPicture, WritesTheLinesInBlueFromTheLeftMargin) {
  QImage picture = TextPicture("Book\r\nLevel 2", 120, 40, 10);
  ASSERT_EQ(picture.size(), QSize(120, 40));
  EXPECT_EQ(picture.format(), QImage::Format_RGB888);
  auto blueIn = [&](int left, int top, int right, int bottom) {
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) {
        QRgb p = PixelAt(picture, x, y);
        if (qBlue(p) > qRed(p) + 40 && qBlue(p) > qGreen(p)) return true;
      }
    }
    return false;
  };
  EXPECT_FALSE(blueIn(0, 0, 9, 39));
  EXPECT_TRUE(blueIn(10, 0, 119, 13));
  EXPECT_TRUE(blueIn(10, 15, 119, 30));  // the second line
  EXPECT_EQ(PixelAt(picture, 119, 39), kGround);
  EXPECT_TRUE(TextPicture("x", 0, 10, 0).isNull());
}

}  // namespace
}  // namespace quillo::draw
