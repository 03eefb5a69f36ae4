// The program's look: the ground colour, the frame colours of the login fields, the fonts
// requested by name with their DejaVu fallbacks, and the widget style.
#pragma once

#include <QColor>
#include <QFont>

class QApplication;
class QWidget;

namespace quillo {

// The ground colour of the program's windows and pictures.
inline const QColor kGroundColour{192, 220, 192};
// The frame around the login fields: olive while waiting, red after a refused check.
inline const QColor kOliveFrame{128, 128, 0};
inline const QColor kRedFrame{220, 0, 0};

// Makes "Tahoma", "Segoe UI" and "Courier New" fall back to the DejaVu families, and sets the
// widget style and the default font of the program.
void ApplyProgramStyle(QApplication& app);

// A font by its family name at a point size (the fallbacks above apply).
QFont NamedFont(const QString& family, int pointSize, bool bold = false);

// Fills the widget's background with a colour.
void SetBackground(QWidget* widget, const QColor& colour);

}  // namespace quillo
