#include "gui/practice/practice_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace quillo {
namespace {

const QColor kInk(35, 70, 35);
const QColor kBlueInk(30, 70, 160);

QPen Stroke(const QColor& colour, double width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A rounded tile with a soft vertical gradient, the ground of the larger pictures.
void Tile(QPainter& p, double s, const QColor& colour) {
  QPainterPath tile;
  tile.addRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
  QLinearGradient g(0, 0, 0, s);
  g.setColorAt(0, colour.lighter(125));
  g.setColorAt(1, colour.darker(110));
  p.fillPath(tile, g);
  p.setPen(QPen(colour.darker(150), s * 0.04));
  p.drawPath(tile);
}

void Arrow(QPainter& p, double s, QPointF from, QPointF to, const QColor& colour) {
  p.setPen(Stroke(colour, s * 0.11));
  p.drawLine(from, to);
  const QPointF d = to - from;
  const double len = std::max(std::hypot(d.x(), d.y()), 1e-6);
  const QPointF u = d / len;
  const QPointF n(-u.y(), u.x());
  const double head = s * 0.2;
  p.drawPolyline(QPolygonF({to - u * head + n * head, to, to - u * head - n * head}));
}

void Person(QPainter& p, double s, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(QPointF(s * 0.5, s * 0.32), s * 0.18, s * 0.18);
  QPainterPath body;
  body.moveTo(s * 0.16, s * 0.94);
  body.cubicTo(s * 0.16, s * 0.55, s * 0.84, s * 0.55, s * 0.84, s * 0.94);
  body.closeSubpath();
  p.drawPath(body);
}

void ClockFace(QPainter& p, double s) {
  p.setPen(QPen(kBlueInk, s * 0.08));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
  p.setPen(Stroke(kBlueInk, s * 0.09));
  p.drawLine(QPointF(s * 0.5, s * 0.5), QPointF(s * 0.5, s * 0.24));
  p.drawLine(QPointF(s * 0.5, s * 0.5), QPointF(s * 0.7, s * 0.6));
}

void Page(QPainter& p, double s, const QColor& paper, const QColor& lines) {
  p.setPen(QPen(lines.darker(130), s * 0.06));
  p.setBrush(paper);
  p.drawRoundedRect(QRectF(s * 0.2, s * 0.08, s * 0.6, s * 0.84), s * 0.06, s * 0.06);
  p.setPen(Stroke(lines, s * 0.06));
  for (double y : {0.3, 0.46, 0.62, 0.78})
    p.drawLine(QPointF(s * 0.3, s * y), QPointF(s * 0.7, s * y));
}

void Check(QPainter& p, double s, const QColor& colour, double width) {
  p.setPen(Stroke(colour, s * width));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({{s * 0.22, s * 0.52}, {s * 0.42, s * 0.72}, {s * 0.78, s * 0.3}}));
}

void Eye(QPainter& p, double s, bool open) {
  QPainterPath lid;
  lid.moveTo(s * 0.08, s * 0.5);
  lid.quadTo(s * 0.5, s * 0.1, s * 0.92, s * 0.5);
  lid.quadTo(s * 0.5, s * 0.9, s * 0.08, s * 0.5);
  p.setPen(QPen(QColor(40, 40, 90), s * 0.07));
  p.setBrush(Qt::white);
  p.drawPath(lid);
  if (open) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 170));
    p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.16, s * 0.16);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.07, s * 0.07);
  } else {
    p.setPen(Stroke(QColor(150, 30, 30), s * 0.09));
    p.drawLine(QPointF(s * 0.15, s * 0.85), QPointF(s * 0.85, s * 0.15));
  }
}

// A window of the given share of the picture, centred, with its title bar.
void Window(QPainter& p, double s, double share) {
  const double side = s * share;
  const QRectF frame((s - side) / 2, (s - side) / 2 + s * 0.02, side, side * 0.86);
  p.setPen(QPen(kInk, s * 0.07));
  p.setBrush(Qt::white);
  p.drawRect(frame);
  p.fillRect(
      QRectF(frame.left(), frame.top(), frame.width(), std::max(frame.height() * 0.22, s * 0.1)),
      QColor(60, 120, 60));
}

}  // namespace

QPixmap PracticePixmap(PracticeIcon icon, int size) {
  if (size <= 0) return {};
  const double s = size;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (icon) {
    case PracticeIcon::User:
      Person(p, s, QColor(40, 90, 170));
      break;
    case PracticeIcon::Clock:
      ClockFace(p, s);
      break;
    case PracticeIcon::Status: {
      p.setPen(QPen(QColor(30, 110, 50), s * 0.07));
      p.setBrush(QColor(235, 248, 235));
      p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
      Check(p, s, QColor(30, 130, 50), 0.12);
      break;
    }
    case PracticeIcon::Sheet:
      Page(p, s, Qt::white, kBlueInk);
      break;
    case PracticeIcon::Exit: {
      p.setPen(QPen(kInk, s * 0.08));
      p.setBrush(QColor(230, 205, 150));
      p.drawRect(QRectF(s * 0.1, s * 0.1, s * 0.45, s * 0.8));
      Arrow(p, s, QPointF(s * 0.38, s * 0.5), QPointF(s * 0.9, s * 0.5), QColor(180, 40, 30));
      break;
    }
    case PracticeIcon::Photo: {
      p.setPen(QPen(kInk, s * 0.07));
      p.setBrush(QColor(90, 90, 100));
      p.drawRoundedRect(QRectF(s * 0.08, s * 0.28, s * 0.84, s * 0.58), s * 0.08, s * 0.08);
      p.drawRect(QRectF(s * 0.34, s * 0.16, s * 0.3, s * 0.14));
      p.setBrush(QColor(170, 210, 240));
      p.drawEllipse(QPointF(s * 0.5, s * 0.57), s * 0.17, s * 0.17);
      break;
    }
    case PracticeIcon::SizeNormal:
      Window(p, s, 0.5);
      break;
    case PracticeIcon::SizeEnlarged:
      Window(p, s, 0.7);
      p.setPen(Stroke(kBlueInk, s * 0.07));
      p.drawLine(QPointF(s * 0.02, s * 0.02), QPointF(s * 0.14, s * 0.14));
      p.drawLine(QPointF(s * 0.98, s * 0.98), QPointF(s * 0.86, s * 0.86));
      break;
    case PracticeIcon::SizeMaximised:
      Window(p, s, 0.94);
      break;
    case PracticeIcon::Next:
      Arrow(p, s, QPointF(s * 0.15, s * 0.5), QPointF(s * 0.85, s * 0.5), kBlueInk);
      break;
    case PracticeIcon::Previous:
      Arrow(p, s, QPointF(s * 0.85, s * 0.5), QPointF(s * 0.15, s * 0.5), kBlueInk);
      break;
    case PracticeIcon::TopCaret: {
      p.setPen(Stroke(kInk, s * 0.1));
      p.drawLine(QPointF(s * 0.15, s * 0.14), QPointF(s * 0.85, s * 0.14));
      Arrow(p, s, QPointF(s * 0.5, s * 0.9), QPointF(s * 0.5, s * 0.3), kBlueInk);
      break;
    }
    case PracticeIcon::GoToEmptyOrWrong: {
      p.setPen(QPen(QColor(180, 40, 30), s * 0.08));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(s * 0.5, s * 0.3, s * 0.4, s * 0.4));
      Arrow(p, s, QPointF(s * 0.06, s * 0.5), QPointF(s * 0.44, s * 0.5), kBlueInk);
      break;
    }
    case PracticeIcon::Check:
      Check(p, s, QColor(30, 130, 50), 0.15);
      break;
    case PracticeIcon::Log: {
      Page(p, s, QColor(255, 250, 225), QColor(150, 110, 40));
      p.setPen(Stroke(QColor(200, 30, 30), s * 0.07));
      p.drawLine(QPointF(s * 0.3, s * 0.46), QPointF(s * 0.52, s * 0.46));
      p.setPen(Stroke(QColor(30, 130, 50), s * 0.07));
      p.drawLine(QPointF(s * 0.3, s * 0.62), QPointF(s * 0.62, s * 0.62));
      break;
    }
    case PracticeIcon::Keyboard: {
      p.setPen(QPen(kInk, s * 0.06));
      p.setBrush(QColor(255, 204, 153));
      p.drawRoundedRect(QRectF(s * 0.05, s * 0.22, s * 0.9, s * 0.56), s * 0.08, s * 0.08);
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col)
          p.drawRect(QRectF(s * (0.15 + col * 0.19), s * (0.32 + row * 0.15), s * 0.11, s * 0.09));
      p.drawRect(QRectF(s * 0.27, s * 0.63, s * 0.46, s * 0.07));
      break;
    }
    case PracticeIcon::Generate: {
      Tile(p, s, QColor(70, 140, 70));
      Page(p, s, Qt::white, QColor(70, 140, 70));
      p.setPen(Stroke(QColor(230, 140, 20), s * 0.09));
      p.drawLine(QPointF(s * 0.62, s * 0.72), QPointF(s * 0.86, s * 0.72));
      p.drawLine(QPointF(s * 0.74, s * 0.6), QPointF(s * 0.74, s * 0.84));
      break;
    }
    case PracticeIcon::FollowUp: {
      Tile(p, s, QColor(60, 110, 170));
      p.setPen(Stroke(Qt::white, s * 0.08));
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF(
          {{s * 0.18, s * 0.74}, {s * 0.38, s * 0.5}, {s * 0.56, s * 0.6}, {s * 0.82, s * 0.26}}));
      break;
    }
    case PracticeIcon::Start: {
      Tile(p, s, QColor(200, 120, 30));
      QPainterPath triangle;
      triangle.moveTo(s * 0.36, s * 0.24);
      triangle.lineTo(s * 0.78, s * 0.5);
      triangle.lineTo(s * 0.36, s * 0.76);
      triangle.closeSubpath();
      p.fillPath(triangle, Qt::white);
      break;
    }
    case PracticeIcon::Quit: {
      p.setPen(Stroke(QColor(170, 40, 30), s * 0.11));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(s * 0.16, s * 0.18, s * 0.68, s * 0.68), 120 * 16, 300 * 16);
      p.drawLine(QPointF(s * 0.5, s * 0.1), QPointF(s * 0.5, s * 0.48));
      break;
    }
    case PracticeIcon::Play: {
      p.setPen(QPen(QColor(30, 100, 40), s * 0.06));
      p.setBrush(QColor(70, 170, 80));
      p.drawEllipse(QRectF(s * 0.05, s * 0.05, s * 0.9, s * 0.9));
      QPainterPath triangle;
      triangle.moveTo(s * 0.4, s * 0.28);
      triangle.lineTo(s * 0.74, s * 0.5);
      triangle.lineTo(s * 0.4, s * 0.72);
      triangle.closeSubpath();
      p.fillPath(triangle, Qt::white);
      break;
    }
    case PracticeIcon::EyesClosed:
      Eye(p, s, false);
      break;
    case PracticeIcon::EyesOpen:
      Eye(p, s, true);
      break;
    case PracticeIcon::Close: {
      p.setPen(QPen(QColor(120, 20, 10), s * 0.05));
      p.setBrush(QColor(205, 60, 45));
      p.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.18, s * 0.18);
      p.setPen(Stroke(Qt::white, s * 0.12));
      p.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
      p.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
      break;
    }
  }
  return pixmap;
}

QIcon PracticeIconOf(PracticeIcon icon, int size) {
  QIcon out(PracticePixmap(icon, size));
  out.addPixmap(PracticePixmap(icon, size * 2));
  return out;
}

}  // namespace quillo
