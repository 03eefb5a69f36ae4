#include "draw/curve_picture.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "draw/raster.h"

namespace quillo::draw {

namespace {

constexpr double kLabelPointSize = 7;
constexpr double kTextPicturePointSize = 9;

int Round(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::clamp(std::lrint(value), -1000000000L, 1000000000L));
}

// Writes text with its top left at (x, y).
void WriteAt(QPainter& painter, int x, int y, const QString& text) {
  painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

void CopyInto(QImage& target, const QImage& source, int x, int y) {
  QPainter painter(&target);
  painter.drawImage(QPoint(x, y), source);
}

}  // namespace

std::vector<int> ScaleToPixels(int height, const std::vector<int>& values) {
  std::vector<int> scaled;
  scaled.reserve(values.size());
  for (int v : values) scaled.push_back(Round(height / 100.0 * v));
  return scaled;
}

void DrawPolyline(QImage& picture, const std::vector<QPoint>& points, QRgb colour) {
  for (std::size_t i = 1; i < points.size(); ++i) {
    SmoothLine(picture, points[i - 1], points[i], colour);
  }
}

CurveGeometry ComputeCurve(int plotWidth, int plotHeight, const std::vector<int>& scores,
                           bool showAverage, int units, int offset, int reference1,
                           int reference2) {
  CurveGeometry g;
  if (scores.empty() || plotWidth <= 0 || plotHeight <= 0) return g;
  const int n = static_cast<int>(scores.size()) - 1;
  const int ph = plotHeight;
  std::vector<int> ys = ScaleToPixels(ph, scores);
  long long sum = 0;
  for (int& y : ys) {
    y = ph - y;
    sum += y;
  }
  int averageY = -1;
  if (showAverage) {
    averageY = static_cast<int>(sum / (n + 1));
    const int averagePercent = Round(static_cast<double>(ph - averageY) / ph * 100.0);
    g.averageValue = Round(units * averagePercent / 100.0);
    g.reference1Value = Round(units * reference1 / 100.0);
    g.reference2Value = Round(units * reference2 / 100.0);
  }
  // Centring "no average" would push the whole curve half a plot down: without an average the
  // automatic offset is none.
  if (offset == -1) offset = showAverage ? ph / 2 - averageY : 0;
  g.offset = offset;
  g.averageY = showAverage ? averageY + offset : -1;
  g.reference1Y = ph + offset - Round(ph / 100.0 * reference1);
  g.reference2Y = ph + offset - Round(ph / 100.0 * reference2);
  g.step = n > 0 ? plotWidth / n : 0;
  g.points.emplace_back(0, ys[0] + offset);
  for (int i = 1; i <= n; ++i) {
    g.points.emplace_back(i * g.step, std::min(ys[i] + offset, ph - 3));
  }
  g.points.emplace_back(n * g.step, ph);
  // The area under the curve is filled from the bottom row just left of the closing line, which
  // always lies under the curve (the points after the first stay 3 pixels above the bottom);
  // the corner (2, ph - 4) lies above the curve when the first score is drawn below the plot.
  // A single score has no area under it.
  if (n > 0) g.fillSeed = n * g.step >= 1 ? QPoint(n * g.step - 1, ph - 1) : QPoint(2, ph - 4);
  return g;
}

void DrawCurveLabels(QImage& picture, const std::vector<QPoint>& points, int margin,
                     const std::vector<std::string>& labels) {
  if (picture.isNull() || points.empty()) return;
  const int height = picture.height();
  for (std::size_t i = 1; i < points.size(); ++i) {
    const int x = points[i].x() + margin;
    PlainLine(picture, QPoint(x, points[i].y() + margin + 3), QPoint(x, height - margin - 3),
              kCurveTick);
  }
  const int spacing = points.size() > 1 ? points[1].x() - points[0].x() : 0;
  QPainter painter(&picture);
  painter.setFont(PictureFont(ProportionalFamilies(), kLabelPointSize));
  const std::size_t count = std::min(labels.size(), points.size());
  int x = 40;
  for (std::size_t i = 0; i < count; ++i, x += spacing) {
    const std::string& label = labels[i];
    std::size_t space = label.find(' ');
    const std::string first = label.substr(0, space);
    const std::string second = space == std::string::npos ? "" : label.substr(space + 1);
    const bool shifted = i % 2 == 1;
    painter.setPen(QColor::fromRgb(shifted ? kCurveGrey : kBlack));
    const int y = height - margin + (shifted ? 5 : 0);
    WriteAt(painter, x - 10, y, ToQString(first));
    WriteAt(painter, x - 10, y + 10, ToQString(second));
  }
}

void DrawProgressCurve(QImage& target, const std::vector<int>& scores, bool showAverage,
                       int units, int offset, int reference1, int reference2,
                       const std::vector<std::string>& labels) {
  const int width = target.width();
  const int height = target.height();
  QImage frame = NewPicture(width, height);
  if (frame.isNull()) return;
  const int m = kCurveMargin;
  const int pw = width - 2 * m;
  const int ph = height - 2 * m;
  {
    QPainter painter(&frame);
    painter.setPen(QColor(Qt::black));
    painter.drawRect(0, 0, width - 1, height - 1);
  }
  if (pw <= 0 || ph <= 0) {
    target = frame;
    return;
  }

  QImage plot = NewPicture(pw, ph);
  CurveGeometry g =
      ComputeCurve(pw, ph, scores, showAverage, units, offset, reference1, reference2);
  if (!g.points.empty()) {
    DrawPolyline(plot, g.points, kCurveGreen);
    FloodFill(plot, g.fillSeed.x(), g.fillSeed.y(), kGround, kCurveFill);
  }
  DottedLine(plot, QPoint(0, g.reference2Y), QPoint(pw, g.reference2Y), kCurveRed);
  DottedLine(plot, QPoint(0, g.reference1Y), QPoint(pw, g.reference1Y), kCurveGrey);
  if (showAverage) PlainLine(plot, QPoint(0, g.averageY), QPoint(pw, g.averageY), kCurveTeal);
  {
    QPainter painter(&plot);
    QPen pen(QColor::fromRgb(kCurveBlue));
    pen.setWidth(4);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(0, 0, 0, ph);
    painter.drawLine(0, ph, pw, ph);
  }
  CopyInto(frame, plot, m, m);

  std::vector<QPoint> scorePoints = g.points;
  if (!scorePoints.empty()) scorePoints.pop_back();  // the closing point has no label
  DrawCurveLabels(frame, scorePoints, m, labels);

  if (showAverage) {
    DottedLine(frame, QPoint(width - 40, 11), QPoint(width - 20, 11), kCurveGrey);
    PlainLine(frame, QPoint(width - 40, 21), QPoint(width - 20, 21), kCurveTeal);
    DottedLine(frame, QPoint(width - 40, 31), QPoint(width - 20, 31), kCurveRed);
    QPainter painter(&frame);
    painter.setFont(PictureFont(ProportionalFamilies(), kLabelPointSize));
    painter.setPen(QColor(Qt::black));
    WriteAt(painter, width - 65, 6, QString::number(g.reference1Value) + " p");
    WriteAt(painter, width - 65, 17, QString::number(g.averageValue) + " p");
    WriteAt(painter, width - 65, 28, QString::number(g.reference2Value) + " p");
    painter.setPen(QColor::fromRgb(kCurveTeal));
    WriteAt(painter, m - 12, m - 5, QString::number(units));
    WriteAt(painter, m - 12, g.averageY + m - 5, QString::number(g.averageValue));
  }
  target = frame;
}

QImage ProgressCurvePicture(int width, int height, const std::vector<int>& scores,
                            bool showAverage, int units, int offset, int reference1,
                            int reference2, const std::vector<std::string>& labels) {
  QImage picture = NewPicture(width, height);
  DrawProgressCurve(picture, scores, showAverage, units, offset, reference1, reference2, labels);
  return picture;
}

QImage TextPicture(std::string_view text, int width, int height, int leftMargin) {
  QImage picture = NewPicture(width, height);
  if (picture.isNull()) return picture;
  QString lines = ToQString(text);
  lines.replace("\r\n", "\n");
  lines.replace('\r', '\n');
  QPainter painter(&picture);
  painter.setFont(PictureFont(FixedPitchFamilies(), kTextPicturePointSize));
  painter.setPen(QColor::fromRgb(kCurveBlue));
  painter.drawText(QRect(leftMargin, 0, picture.width() - leftMargin, picture.height()),
                   Qt::AlignLeft | Qt::AlignTop, lines);
  return picture;
}

}  // namespace quillo::draw
