// The pictures of the practice markup: the drawn expression of a "#DrawF_" tag (layout and
// placement from the engine, symbols from the line-symbol file) and the small fraction of a
// "#DwF_" tag. Text is drawn with QtGui fonts, so a QGuiApplication must exist.
#pragma once

#include <QImage>
#include <string>
#include <string_view>

#include "engine/fraction_layout.h"

namespace quillo {
class MessageBox;
class BusyIndicator;
}  // namespace quillo

namespace quillo::draw {

// Renders the entries of a drawing into a 24-bit picture of L x 7 + margin by H x 14 + margin
// pixels (L and H of the last record) on the ground colour: characters in the picture font at
// size 9, fraction bars as lines, brackets, roots, cancellations and exponent digits as symbols
// of the symbol file. A symbol the file does not hold is left out; a missing file shows its
// message for every symbol asked for.
QImage RenderExpression(const FractionDrawing& drawing, int margin, const std::string& symbolFile,
                        MessageBox& msgBox, BusyIndicator* busy = nullptr);

// The drawing engine with its current drawing and picture, used as DrawExpression,
// RenderExpression, FreeExpression.
class ExpressionDrawer {
 public:
  ExpressionDrawer(MessageBox& msgBox, std::string symbolFile, BusyIndicator* busy = nullptr)
      : msgBox_(msgBox), symbolFile_(std::move(symbolFile)), busy_(busy) {}

  // Removes the spaces of the description and runs the layout and placement passes.
  void DrawExpression(std::string_view description);
  // Renders the current drawing and keeps the picture.
  const QImage& RenderExpression(int margin);
  // Clears the records, the entries, the trace and the picture.
  void FreeExpression();

  const FractionDrawing& Drawing() const { return drawing_; }
  const QImage& Picture() const { return picture_; }

 private:
  MessageBox& msgBox_;
  std::string symbolFile_;
  BusyIndicator* busy_;
  FractionDrawing drawing_;
  QImage picture_;
};

// The picture of a "#DrawF_" tag: the description drawn and rendered with margin 0.
QImage ExpressionPicture(std::string_view description, const std::string& symbolFile,
                         MessageBox& msgBox, BusyIndicator* busy = nullptr);

// The picture of a "#DwF_" tag: the numerator over the denominator, black on the editor's
// background, font size 8; as wide as the text with more characters (the other centred on
// it), as high as two text lines less 2 pixels, with a rule along the top of the second line.
// An empty numerator is drawn as one space; with either part empty there is no rule.
QImage SmallFractionPicture(std::string_view numerator, std::string_view denominator);

// The same from the tag's argument "numerator\denominator" (parts trimmed; without "\" the
// whole argument is the numerator).
QImage FractionTagPicture(std::string_view argument);

}  // namespace quillo::draw
