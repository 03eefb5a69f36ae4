#include "draw/expression_picture.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "draw/raster.h"
#include "draw/symbol_picture.h"
#include "engine/line_symbols.h"
#include "shell/seams.h"
#include "support/temp_dir.h"

namespace quillo::draw {
namespace {

const std::string kSymbols = std::string(QUILLO_STAGE_DIR) + "/SetG/PsLigSym.DAT";

bool Dark(QRgb p) { return qRed(p) < 120 && qGreen(p) < 140 && qBlue(p) < 120; }

// True when some pixel of the rectangle is dark.
bool AnyDark(const QImage& picture, int left, int top, int right, int bottom) {
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      if (Dark(PixelAt(picture, x, y))) return true;
    }
  }
  return false;
}

TEST(DrawSymbol, DrawsTheStrokesOnAPictureOfTheSymbolsSize) {
  // Two strokes of one record: a bar along the top and a stroke down the middle.
  std::string record = "t         0   7   0   4   0   0   1   0   1   0";
  record.resize(64, ' ');
  record += " -3  -2   3  -2 -64 -64   0   0   0   2";
  QImage picture;
  DrawSymbol(picture, record, 200);
  ASSERT_EQ(picture.size(), QSize(8, 4));  // 7 x 4 and one extra column; centre (3, 2)
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(PixelAt(picture, x, 0), x < 6 ? kBlack : kGround) << x;  // end point excluded
  }
  EXPECT_EQ(PixelAt(picture, 3, 2), kBlack);
  EXPECT_EQ(PixelAt(picture, 3, 3), kBlack);
  EXPECT_EQ(PixelAt(picture, 3, 1), kGround);  // the strokes are not joined

  DrawSymbol(picture, "", 200);
  EXPECT_TRUE(picture.isNull());
}

TEST(RenderExpression, DrawsAFractionCentredOnItsBar) {
  ScriptedMessageBox box;
  QImage picture = ExpressionPicture("<<3>\\<4>>", kSymbols, box);
  ASSERT_EQ(picture.size(), QSize(7, 28));
  EXPECT_EQ(picture.format(), QImage::Format_RGB888);
  // The bar on the line between the two rows, one pixel free at each end.
  for (int x = 0; x < 7; ++x) {
    EXPECT_EQ(PixelAt(picture, x, 14), x >= 1 && x <= 5 ? kBlack : kGround) << x;
  }
  EXPECT_TRUE(AnyDark(picture, 0, 0, 6, 13));
  EXPECT_TRUE(AnyDark(picture, 0, 15, 6, 27));
  EXPECT_FALSE(AnyDark(picture, 0, 13, 6, 13));  // the digits keep clear of the bar
  EXPECT_FALSE(AnyDark(picture, 0, 15, 6, 15));
  EXPECT_TRUE(box.Shown().empty());

  ExpressionDrawer drawer(box, kSymbols);
  drawer.DrawExpression("<<3>\\<4>>");
  const QImage& withMargin = drawer.RenderExpression(10);
  EXPECT_EQ(withMargin.size(), QSize(17, 38));
  EXPECT_EQ(PixelAt(withMargin, 16, 37), kGround);
  EXPECT_EQ(drawer.Drawing().records.size(), 2u);
  drawer.FreeExpression();
  EXPECT_TRUE(drawer.Picture().isNull());
  EXPECT_TRUE(drawer.Drawing().records.empty());
  EXPECT_TRUE(drawer.Drawing().entries.empty());
}

TEST(RenderExpression, StretchesRootsAndBracketsAndRaisesExponents) {
  ScriptedMessageBox box;
  QImage root = ExpressionPicture("<sqrt(12)>", kSymbols, box);
  ASSERT_EQ(root.size(), QSize(21, 14));
  for (int x = 7; x < 21; ++x) EXPECT_EQ(PixelAt(root, x, 1), kBlack) << x;  // over 12
  EXPECT_TRUE(AnyDark(root, 0, 8, 3, 13));                                    // the hook

  QImage tall = ExpressionPicture("<sqrt(<<1>\\<2>>)>", kSymbols, box);
  ASSERT_EQ(tall.size(), QSize(14, 28));
  EXPECT_EQ(PixelAt(tall, 10, 1), kBlack);
  EXPECT_TRUE(AnyDark(tall, 0, 20, 4, 27));  // the hook reaches down beside the denominator

  QImage power = ExpressionPicture("<2^3>", kSymbols, box);
  ASSERT_EQ(power.size(), QSize(14, 14));
  EXPECT_TRUE(AnyDark(power, 7, 0, 13, 7));
  EXPECT_FALSE(AnyDark(power, 7, 8, 13, 13));  // the exponent stays in the upper half
  EXPECT_TRUE(AnyDark(power, 0, 9, 6, 12));    // the base reaches lower

  QImage brackets = ExpressionPicture("<(<<1>\\<2>>)>", kSymbols, box);
  ASSERT_EQ(brackets.size(), QSize(21, 28));
  EXPECT_TRUE(AnyDark(brackets, 0, 3, 6, 6));
  EXPECT_TRUE(AnyDark(brackets, 0, 21, 6, 24));  // as high as the fraction
  EXPECT_TRUE(AnyDark(brackets, 14, 21, 20, 24));
  EXPECT_TRUE(box.Shown().empty());
}

TEST(RenderExpression, AMissingSymbolFileLeavesTheSymbolsOut) {
  test::TempDir dir;
  const std::string missing = dir.Path() + "PsLigSym.DAT";
  ScriptedMessageBox box;
  QImage picture = ExpressionPicture("<(2)^3>", missing, box);
  ASSERT_EQ(picture.size(), QSize(28, 14));
  // Asked for "(", ")" and "^3".
  ASSERT_EQ(box.Shown().size(), 3u);
  for (const ShownMessage& m : box.Shown()) EXPECT_EQ(m.line1, "Cannot find data file.. " + missing);
  EXPECT_FALSE(AnyDark(picture, 0, 0, 6, 13));
  EXPECT_TRUE(AnyDark(picture, 7, 0, 13, 13));  // the 2 is text
  EXPECT_FALSE(AnyDark(picture, 14, 0, 27, 13));
}

TEST(RenderExpression, MalformedDescriptionsStillGiveAPicture) {
  ScriptedMessageBox box;
  const std::string huge = "<" + std::string(4998, '7') + ">";
  const struct {
    std::string description;
    QSize size;
  } cases[] = {
      {"<<1>\\<2>", {7, 28}},
      {"<2)+3>", {28, 14}},
      {"<>", {1, 14}},
      {"", {1, 14}},
      {huge, {kMaxPictureSide, 14}},
  };
  for (const auto& c : cases) {
    QImage picture = ExpressionPicture(c.description, kSymbols, box);
    EXPECT_EQ(picture.size(), c.size) << c.description.substr(0, 20);
  }
}

TEST(SmallFractionPicture, PutsTheNumeratorOverARuleOverTheDenominator) {
  QImage probe = NewPicture(1, 1);
  QFontMetrics metrics(PictureFont(ProportionalFamilies(), 8), &probe);
  const int line = metrics.height();

  QImage fraction = FractionTagPicture(" 3 \\ 14 ");
  ASSERT_EQ(fraction.width(), metrics.horizontalAdvance("14"));
  ASSERT_EQ(fraction.height(), 2 * line - 2);
  for (int x = 0; x < fraction.width(); ++x) EXPECT_EQ(PixelAt(fraction, x, line - 2), kBlack);
  EXPECT_TRUE(AnyDark(fraction, 0, 0, fraction.width() - 1, line - 3));
  EXPECT_TRUE(AnyDark(fraction, 0, line - 1, fraction.width() - 1, fraction.height() - 1));

  // Without one of the parts there is no rule; the picture is as wide as the wider text.
  for (const char* argument : {"\\7", "7\\", "7", "\\"}) {
    QImage part = FractionTagPicture(argument);
    ASSERT_FALSE(part.isNull()) << argument;
    EXPECT_EQ(part.height(), 2 * line - 2);
    EXPECT_GE(part.width(), std::string(argument) == "\\" ? 1 : metrics.horizontalAdvance("7"));
    bool rule = true;
    for (int x = 0; x < part.width(); ++x) rule = rule && PixelAt(part, x, line - 2) == kBlack;
    EXPECT_FALSE(rule) << argument;
  }
}

}  // namespace
}  // namespace quillo::draw
