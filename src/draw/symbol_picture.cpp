#include "draw/symbol_picture.h"

#include "draw/raster.h"
#include "engine/line_symbols.h"

namespace quillo::draw {

void DrawSymbol(QImage& picture, std::string_view record, int pointLimit) {
  SymbolPlan plan = PlanSymbol(record, pointLimit);
  picture = NewPicture(plan.width, plan.height);
  if (picture.isNull()) return;
  for (const std::vector<SymbolPoint>& stroke : plan.strokes) {
    for (std::size_t i = 1; i < stroke.size(); ++i) {
      SmoothLine(picture, QPoint(stroke[i - 1].x, stroke[i - 1].y),
                 QPoint(stroke[i].x, stroke[i].y), kBlack);
    }
  }
}

}  // namespace quillo::draw
