#include "gui/shell/theme.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QWidget>

namespace quillo {

void ApplyProgramStyle(QApplication& app) {
  QFont::insertSubstitutions("Tahoma", {"DejaVu Sans", "Sans Serif"});
  QFont::insertSubstitutions("Segoe UI", {"DejaVu Sans", "Sans Serif"});
  QFont::insertSubstitutions("Courier New", {"DejaVu Sans Mono", "Monospace"});
  if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
  QFont base("DejaVu Sans");
  base.setPointSize(9);
  app.setFont(base);
}

QFont NamedFont(const QString& family, int pointSize, bool bold) {
  QFont font(family);
  font.setPointSize(pointSize);
  font.setBold(bold);
  return font;
}

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace quillo
