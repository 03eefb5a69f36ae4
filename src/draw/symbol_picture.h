// Drawing one record of the line-symbol file onto its own picture with smooth black lines.
#pragma once

#include <QImage>
#include <string_view>

namespace quillo::draw {

// Makes picture the symbol's own picture (the size of the record's plan, on the ground colour)
// and draws the record's strokes in black with SmoothLine. A record that draws nothing (no
// record, no area) leaves a null picture.
void DrawSymbol(QImage& picture, std::string_view record, int pointLimit);

}  // namespace quillo::draw
