#include "draw/expression_picture.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "draw/raster.h"
#include "draw/symbol_picture.h"
#include "engine/bracket_blocks.h"
#include "engine/line_symbols.h"
#include "shell/seams.h"

namespace quillo::draw {

namespace {

constexpr double kExpressionPointSize = 9;
constexpr double kSmallFractionPointSize = 8;
// The base line of a character within its 14-pixel cell.
constexpr int kBaseLine = 12;

bool IsBracket(std::string_view text) {
  return text == "(" || text == ")" || text == "[" || text == "]";
}

std::string TrimSpaces(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

class SymbolPainter {
 public:
  SymbolPainter(QImage& picture, const std::string& symbolFile, MessageBox& msgBox,
                BusyIndicator* busy)
      : picture_(picture), file_(symbolFile), msgBox_(msgBox), busy_(busy) {}

  // Draws the named symbol with the scales written into its record and copies it at (x, y).
  void Draw(std::string_view name, int columnOffset, int rowOffset, int x, int y) {
    std::string record = FindSymbol(name, file_, msgBox_, busy_);
    if (record.empty()) return;
    QImage symbol;
    DrawSymbol(symbol, SetSymbolScales(record, columnOffset, rowOffset, 1),
               kExpressionPointLimit);
    DarkenCopy(picture_, symbol, x, y);
  }

 private:
  QImage& picture_;
  const std::string& file_;
  MessageBox& msgBox_;
  BusyIndicator* busy_;
};

}  // namespace

QImage RenderExpression(const FractionDrawing& drawing, int margin, const std::string& symbolFile,
                        MessageBox& msgBox, BusyIndicator* busy) {
  long long cellsWide = drawing.records.empty() ? 0 : drawing.records.back().width;
  long long cellsHigh = drawing.records.empty() ? 1 : drawing.records.back().height;
  long long width = cellsWide * kCellWidth + margin;
  long long height = cellsHigh * kCellHeight + margin;
  QImage picture = NewPicture(static_cast<int>(std::clamp<long long>(width, 1, kMaxPictureSide)),
                              static_cast<int>(std::clamp<long long>(height, 1, kMaxPictureSide)));
  if (picture.isNull()) return picture;

  // Bars and symbols first, straight into the pixels; then the characters.
  SymbolPainter symbols(picture, symbolFile, msgBox, busy);
  std::vector<const Ty_DrawCoorF*> characters;
  const std::vector<Ty_DrawCoorF>& entries = drawing.entries;
  for (std::size_t i = 1; i < entries.size(); ++i) {
    const Ty_DrawCoorF& e = entries[i];
    if (e.text == "\\") {
      // A bar leaves one pixel free at each end, so that it does not run into the bar or the
      // sign beside it.
      const int trim = std::abs(e.w - e.x) > 2 ? 1 : 0;
      const int direction = e.w >= e.x ? 1 : -1;
      PlainLine(picture, QPoint(e.x + trim * direction, e.y),
                QPoint(e.w - trim * direction, e.h), kBlack);
    } else if (e.text == "^") {
      // The exponent digits that follow are drawn as symbols in their cells.
      for (int d = 0; d < e.w && i + 1 < entries.size(); ++d) {
        const Ty_DrawCoorF& digit = entries[++i];
        symbols.Draw("^" + digit.text, 0, 0, digit.x, digit.y);
      }
    } else if (IsBracket(e.text)) {
      symbols.Draw(e.text, 0, 1 - e.h / kCellHeight, e.x, e.y);
    } else if (IsSymbolOperator(e.text)) {
      const int columnOffset = e.w == -255 ? 0 : 1 - e.w / kCellWidth;
      symbols.Draw(e.text, columnOffset, 1 - e.h / kCellHeight, e.x, e.y + 2);
    } else if (!e.text.empty()) {
      characters.push_back(&e);
    }
  }

  QPainter painter(&picture);
  painter.setFont(PictureFont(ProportionalFamilies(), kExpressionPointSize));
  painter.setPen(QColor(Qt::black));
  const QFontMetricsF metrics(painter.font(), &picture);
  for (const Ty_DrawCoorF* e : characters) {
    // A hyphen in an expression is a minus sign.
    const QString text = e->text == "-" ? QString(QChar(0x2212)) : ToQString(e->text);
    const double cellWidth = static_cast<double>(kCellWidth) * static_cast<double>(e->text.size());
    const double left = e->x + (cellWidth - metrics.horizontalAdvance(text)) / 2.0;
    painter.drawText(QPointF(left, e->y + kBaseLine), text);
  }
  painter.end();
  return picture;
}

void ExpressionDrawer::DrawExpression(std::string_view description) {
  drawing_ = quillo::DrawExpression(description, msgBox_);
}

const QImage& ExpressionDrawer::RenderExpression(int margin) {
  picture_ = draw::RenderExpression(drawing_, margin, symbolFile_, msgBox_, busy_);
  return picture_;
}

void ExpressionDrawer::FreeExpression() {
  quillo::FreeExpression(drawing_);
  picture_ = QImage();
}

QImage ExpressionPicture(std::string_view description, const std::string& symbolFile,
                         MessageBox& msgBox, BusyIndicator* busy) {
  ExpressionDrawer drawer(msgBox, symbolFile, busy);
  drawer.DrawExpression(description);
  QImage picture = drawer.RenderExpression(0);
  drawer.FreeExpression();
  return picture;
}

QImage SmallFractionPicture(std::string_view numerator, std::string_view denominator) {
  const bool rule = !numerator.empty() && !denominator.empty();
  const QString top = ToQString(numerator.empty() ? std::string_view(" ") : numerator);
  const QString bottom = ToQString(denominator);
  QImage probe = NewPicture(1, 1);
  const QFont font = PictureFont(ProportionalFamilies(), kSmallFractionPointSize);
  const QFontMetrics metrics(font, &probe);
  // As wide as the wider text: the one with more characters, unless its letters are narrower.
  const int width =
      std::max({1, metrics.horizontalAdvance(top), metrics.horizontalAdvance(bottom)});
  const int lineHeight = metrics.height();
  QImage picture = NewPicture(width, 2 * lineHeight - 2);
  if (picture.isNull()) return picture;
  QPainter painter(&picture);
  painter.setFont(font);
  painter.setPen(QColor(Qt::black));
  const int secondLine = lineHeight - 2;
  painter.drawText(QPoint((width - metrics.horizontalAdvance(top)) / 2, metrics.ascent()), top);
  painter.drawText(
      QPoint((width - metrics.horizontalAdvance(bottom)) / 2, secondLine + metrics.ascent()),
      bottom);
  painter.end();
  if (rule) PlainLine(picture, QPoint(0, secondLine), QPoint(width, secondLine), kBlack);
  return picture;
}

QImage FractionTagPicture(std::string_view argument) {
  std::size_t bar = argument.find('\\');
  if (bar == std::string_view::npos) return SmallFractionPicture(TrimSpaces(argument), "");
  return SmallFractionPicture(TrimSpaces(argument.substr(0, bar)),
                              TrimSpaces(argument.substr(bar + 1)));
}

}  // namespace quillo::draw
