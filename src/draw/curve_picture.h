// The progress curve of a pupil's scores on one practice (filled curve, reference lines, labels
// and legend) and the text picture (a text in a fixed-pitch font on the ground colour). Text is
// drawn with QtGui fonts, so a QGuiApplication must exist.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::draw {

// The margin around the plot.
inline constexpr int kCurveMargin = 30;

inline constexpr QRgb kCurveGreen = 0xFF008000;
inline constexpr QRgb kCurveFill = 0xFFA4D5A2;       // 164, 213, 162
inline constexpr QRgb kCurveTick = 0xFF74D571;       // 116, 213, 113
inline constexpr QRgb kCurveTeal = 0xFF008080;
inline constexpr QRgb kCurveRed = 0xFFFF0000;
inline constexpr QRgb kCurveGrey = 0xFF808080;
inline constexpr QRgb kCurveBlue = 0xFF0000FF;

// Each value v becomes round(height / 100 x v) (halves to the even neighbour).
std::vector<int> ScaleToPixels(int height, const std::vector<int>& values);

// Joins consecutive points with SmoothLine.
void DrawPolyline(QImage& picture, const std::vector<QPoint>& points, QRgb colour);

// The positions of a curve in a plot of the given size, in plot pixels.
struct CurveGeometry {
  std::vector<QPoint> points;  // one per score, then the closing point at the bottom edge
  int step = 0;                // x distance between two scores (0 for a single score)
  int averageY = -1;           // after the offset; -1 without average
  int reference1Y = 0;
  int reference2Y = 0;
  int offset = 0;
  QPoint fillSeed{-1, -1};  // where the area under the curve is filled from; (-1, -1): none
  // Legend values (only with the average): the average, reference 1 and reference 2 in units.
  int averageValue = 0;
  int reference1Value = 0;
  int reference2Value = 0;
};
CurveGeometry ComputeCurve(int plotWidth, int plotHeight, const std::vector<int>& scores,
                           bool showAverage, int units, int offset, int reference1,
                           int reference2);

// The two-line labels under the plot and the tick lines from each point after the first down
// towards the labels; points are in plot pixels, the plot lying at (margin, margin).
void DrawCurveLabels(QImage& picture, const std::vector<QPoint>& points, int margin,
                     const std::vector<std::string>& labels);

// Draws the curve of the scores (0..100) into a new picture of the target's size, which then
// replaces the target. units is what 100 % stands for; offset -1 centres the average (without
// average it means no offset); reference1 and reference2 are percentages; labels hold two words
// each (date and time).
void DrawProgressCurve(QImage& target, const std::vector<int>& scores, bool showAverage,
                       int units, int offset, int reference1, int reference2,
                       const std::vector<std::string>& labels);

// The same as a new picture of the given size (a null picture for a size without area).
QImage ProgressCurvePicture(int width, int height, const std::vector<int>& scores,
                            bool showAverage, int units, int offset, int reference1,
                            int reference2, const std::vector<std::string>& labels);

// A new picture of the given size on the ground colour with the text (Windows-1252, lines
// broken at line breaks) in blue, the fixed-pitch font at size 9, drawn into the rectangle from
// (leftMargin, 0) to the picture's right and bottom edges.
QImage TextPicture(std::string_view text, int width, int height, int leftMargin);

}  // namespace quillo::draw
