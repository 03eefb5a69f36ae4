// Commands of the pictures: drawn expressions, the small fraction of the practice markup, the
// progress curve and the text picture, each written as a PNG file. Built only with the picture
// layer (Qt); without it the command line simply has no picture commands.
#if __has_include(<QGuiApplication>)
#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <memory>
#include <iostream>

#include "cli.h"
#include "draw/curve_picture.h"
#include "draw/expression_picture.h"
#include "engine/line_symbols.h"
#include "shell/conventions.h"
#include "shell/error.h"

namespace quillo::cli {
namespace {

// The pictures need a QGuiApplication; without a display it runs on the offscreen platform.
class PictureApp {
 public:
  PictureApp() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[16] = "quillomark-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

int NumberOption(Args& args, const std::string& name, int fallback) {
  std::string value;
  if (!TakeOption(args, name, value)) return fallback;
  int64_t number = TextToInt(value);
  if (number < -1000000 || number > 1000000) throw Error(name + ": " + value + " is out of range");
  return static_cast<int>(number);
}

// Saves the picture, enlarged by the whole factor scale (pixels repeated), as PNG.
int Save(const QImage& picture, const std::string& file, int scale) {
  if (picture.isNull()) return Fail("No picture was drawn.");
  QImage out = picture;
  if (scale > 1 && scale <= 16) {
    out = picture.scaled(picture.width() * scale, picture.height() * scale, Qt::IgnoreAspectRatio,
                         Qt::FastTransformation);
  }
  if (!out.save(QString::fromStdString(file), "PNG")) return Fail("Cannot write " + In(file));
  std::cout << file << " " << picture.width() << "x" << picture.height() << "\n";
  return 0;
}

int RunDraw(const Args& args) {
  Args rest = args;
  std::string output, symbols;
  if (!TakeOption(rest, "-o", output)) return Fail("draw: missing -o FILE.png");
  const int margin = NumberOption(rest, "--margin", 0);
  const int scale = NumberOption(rest, "--scale", 1);
  const bool records = TakeFlag(rest, "--records");
  CliRun run;
  if (!TakeOption(rest, "--symbols", symbols)) symbols = Out(SymbolFilePath(run.ctx.folders));
  if (rest.size() != 1) return Fail("draw: one description expected");
  PictureApp app;
  draw::ExpressionDrawer drawer(run.msgBox, In(symbols), &run.busy);
  drawer.DrawExpression(In(rest[0]));
  if (records) {
    for (const Ty_FractInLine& r : drawer.Drawing().records) {
      std::cout << Out(r.name) << " \"" << Out(r.text) << "\" L=" << r.width << " H=" << r.height
                << (r.fraction ? " fraction" : " row") << " num=" << r.numeratorWidth << "x"
                << r.numeratorHeight << " den=" << r.denominatorWidth << "x"
                << r.denominatorHeight << " around=" << r.prefixSuffixWidth << "\n";
    }
    for (const Ty_DrawCoorF& e : drawer.Drawing().entries) {
      std::cout << "  " << Out(e.text) << " " << e.x << "," << e.y << " " << e.w << "," << e.h
                << "\n";
    }
  }
  int status = Save(drawer.RenderExpression(margin), output, scale);
  drawer.FreeExpression();
  return status;
}

int RunDrawFraction(const Args& args) {
  Args rest = args;
  std::string output;
  if (!TakeOption(rest, "-o", output)) return Fail("draw-fraction: missing -o FILE.png");
  const int scale = NumberOption(rest, "--scale", 1);
  if (rest.size() != 1) return Fail("draw-fraction: one \"NUM\\DEN\" argument expected");
  PictureApp app;
  return Save(draw::FractionTagPicture(In(rest[0])), output, scale);
}

std::vector<std::string> SplitComma(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

int RunCurve(const Args& args) {
  Args rest = args;
  std::string output, scoreText, labelText;
  if (!TakeOption(rest, "-o", output)) return Fail("curve: missing -o FILE.png");
  if (!TakeOption(rest, "--scores", scoreText)) return Fail("curve: missing --scores");
  TakeOption(rest, "--labels", labelText);
  const int units = NumberOption(rest, "--units", 100);
  const int ref1 = NumberOption(rest, "--ref1", 85);
  const int ref2 = NumberOption(rest, "--ref2", 75);
  const int offset = NumberOption(rest, "--offset", -1);
  const int width = NumberOption(rest, "--width", 420);
  const int height = NumberOption(rest, "--height", 260);
  const int scale = NumberOption(rest, "--scale", 1);
  const bool noAverage = TakeFlag(rest, "--no-average");
  if (!rest.empty()) return Fail("curve: unexpected argument " + In(rest[0]));
  if (width < 1 || height < 1 || width > 4096 || height > 4096) {
    return Fail("curve: --width and --height must lie between 1 and 4096");
  }
  std::vector<int> scores;
  for (const std::string& s : SplitComma(scoreText)) {
    int64_t score = TextToInt(s);
    if (score < -1000 || score > 1000) return Fail("curve: score " + s + " is out of range");
    scores.push_back(static_cast<int>(score));
  }
  std::vector<std::string> labels;
  if (!labelText.empty()) {
    for (const std::string& l : SplitComma(labelText)) labels.push_back(In(l));
  }
  PictureApp app;
  return Save(draw::ProgressCurvePicture(width, height, scores, !noAverage, units, offset, ref1,
                                         ref2, labels),
              output, scale);
}

int RunTextPicture(const Args& args) {
  Args rest = args;
  std::string output;
  if (!TakeOption(rest, "-o", output)) return Fail("text-picture: missing -o FILE.png");
  const int width = NumberOption(rest, "--width", 300);
  const int height = NumberOption(rest, "--height", 60);
  const int margin = NumberOption(rest, "--margin", 10);
  if (rest.size() != 1) return Fail("text-picture: one text expected");
  if (width < 1 || height < 1 || width > 4096 || height > 4096) {
    return Fail("text-picture: --width and --height must lie between 1 and 4096");
  }
  std::string text = In(rest[0]);
  // "\n" written on the command line stands for a line break.
  for (std::size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at)) {
    text.replace(at, 2, "\r\n");
  }
  PictureApp app;
  return Save(draw::TextPicture(text, width, height, margin), output, 1);
}

Registrar draw{{"draw",
                "draw \"DESCRIPTION\" -o FILE.png [--margin N] [--scale N] [--records] "
                "[--symbols PsLigSym.DAT]",
                "Draws a \"#DrawF_\" description (\"<<3>\\<4>>\", \"<2<1>\\<3>>\", "
                "\"<sqrt(<<1>\\<2>>)>\", \"<2^3>\")\n      as a PNG; --records lists the "
                "records and drawing entries.",
                RunDraw}};
Registrar drawFraction{{"draw-fraction", "draw-fraction \"NUM\\DEN\" -o FILE.png [--scale N]",
                        "Draws the small fraction of a \"#DwF_\" tag as a PNG.",
                        RunDrawFraction}};
Registrar curve{{"curve",
                 "curve --scores 40,55,70,85 [--labels \"07/03 14:05,08/03 09:12,...\"] "
                 "[--units 100 --ref1 85 --ref2 75]\n        [--offset -1] [--no-average] "
                 "[--width 420 --height 260] [--scale N] -o FILE.png",
                 "Draws the progress curve of the scores (per cent) as a PNG.", RunCurve}};
Registrar textPicture{{"text-picture",
                       "text-picture \"TEXT\" [--width 300 --height 60 --margin 10] -o FILE.png",
                       "Draws a text picture (\"\\n\" breaks lines) as a PNG.", RunTextPicture}};

}  // namespace
}  // namespace quillo::cli
#endif
