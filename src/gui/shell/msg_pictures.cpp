#include "gui/shell/msg_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "shell/seams.h"

namespace quillo {
namespace {

// A filled disc with a darker rim, the background of the round glyphs.
void Disc(QPainter& p, double s, const QColor& fill) {
  p.setPen(QPen(fill.darker(135), s * 0.06));
  p.setBrush(fill);
  p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
}

QPen WhiteStroke(double s) {
  return QPen(Qt::white, s * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

QPixmap MsgPicturePixmap(int number, int size) {
  if (size <= 0) return {};
  const double s = size;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (number) {
    case kPicOk: {
      Disc(p, s, QColor(46, 150, 80));
      p.setPen(WhiteStroke(s));
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF({{s * 0.28, s * 0.52}, {s * 0.44, s * 0.68}, {s * 0.73, s * 0.35}}));
      break;
    }
    case kPicCancel: {
      Disc(p, s, QColor(205, 55, 50));
      p.setPen(WhiteStroke(s));
      p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
      p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
      break;
    }
    case kPicThird: {
      Disc(p, s, QColor(50, 110, 190));
      p.setPen(WhiteStroke(s));
      p.setBrush(Qt::NoBrush);
      p.drawLine(QPointF(s * 0.28, s * 0.5), QPointF(s * 0.70, s * 0.5));
      p.drawPolyline(QPolygonF({{s * 0.52, s * 0.32}, {s * 0.70, s * 0.5}, {s * 0.52, s * 0.68}}));
      break;
    }
    case kIconInfo: {
      Disc(p, s, QColor(40, 105, 200));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(s * 0.5, s * 0.29), s * 0.075, s * 0.075);
      p.drawRoundedRect(QRectF(s * 0.43, s * 0.42, s * 0.14, s * 0.36), s * 0.04, s * 0.04);
      break;
    }
    case kIconWarning: {
      QPainterPath triangle;
      triangle.moveTo(s * 0.5, s * 0.06);
      triangle.lineTo(s * 0.96, s * 0.90);
      triangle.lineTo(s * 0.04, s * 0.90);
      triangle.closeSubpath();
      p.setPen(QPen(QColor(170, 115, 0), s * 0.06, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(QColor(250, 190, 30));
      p.drawPath(triangle);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(40, 30, 0));
      p.drawRoundedRect(QRectF(s * 0.44, s * 0.32, s * 0.12, s * 0.32), s * 0.04, s * 0.04);
      p.drawEllipse(QPointF(s * 0.5, s * 0.75), s * 0.065, s * 0.065);
      break;
    }
    default:
      return {};
  }
  return pixmap;
}

QString MsgPictureName(int number) {
  switch (number) {
    case kPicOk:
      return "OK";
    case kPicCancel:
      return "Cancel";
    case kPicThird:
      return "More";
    case kIconInfo:
      return "Information";
    case kIconWarning:
      return "Warning";
    default:
      return {};
  }
}

}  // namespace quillo
