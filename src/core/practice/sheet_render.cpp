// Rendering of question lines. A line is scanned character by character with a pending-tag flag,
// a showing flag and a tag buffer: text from "#" to "$" is a tag, hidden and interpreted when its
// "$" arrives; "#ChB$" makes the rest of its line bold and keeps collecting, so nothing after it
// on that line acts as a tag; a line that ends inside a tag interprets the internal tag
// "#ToResetAll." and still shows its last character.
#include "practice/sheet_render.h"

#include <utility>

#include "engine/text_toolkit.h"
#include "shell/trace_log.h"

namespace quillo {

namespace {

constexpr std::string_view kResetAll = "#ToResetAll.";
constexpr int kSeparatorLength = 70;

// Pairs the braces of a line: field braces become kFieldOpen/kFieldClose with nothing between,
// other braces stay characters; control characters become spaces so that no source byte can
// pass for a field mark or a break. Appends the trimmed contents of each pair to answers.
std::string PrepareLine(std::string_view line, std::vector<std::string>* answers) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    char ch = line[i];
    if (static_cast<unsigned char>(ch) < 32) {
      out.push_back(' ');
    } else if (ch == '{') {
      std::size_t j = line.find_first_of("{}", i + 1);
      if (j != std::string_view::npos && line[j] == '}') {
        if (answers) answers->push_back(Trim(line.substr(i + 1, j - i - 1)));
        out.push_back(kFieldOpen);
        out.push_back(kFieldClose);
        i = j;
      } else {
        out.push_back(ch);
      }
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

class LineRenderer {
 public:
  LineRenderer(SheetDocument& doc, PictureResolver* resolver, TraceLog* trace)
      : doc_(doc), resolver_(resolver), trace_(trace) {}

  void Render(std::string_view line) {
    if (line.empty()) return;
    bool pending = false;
    bool showing = true;
    std::string buffer;
    const std::size_t last = line.size() - 1;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char ch = line[i];
      const bool fieldMark = ch == kFieldOpen || ch == kFieldClose;
      if (ch == kFieldOpen) doc_.AppendElement(ElementKind::Glyph, kGlyphOpen, kGlyphFormat);
      // The field marks always stand in the text, also inside a hidden stretch: field k of the
      // text must stay answer k of the list.
      if (fieldMark) {
        doc_.AppendElement(ElementKind::Delimiter, ch, kDelimiterFormat);
        if (ch == kFieldClose) doc_.AppendElement(ElementKind::Glyph, kGlyphClose, kGlyphFormat);
        continue;
      }
      const CharFormat format = TextFormat(kBlack);
      bool shown = showing;
      if (pending || ch == '#') {
        pending = true;
        if (ch == '#') showing = false;
        buffer.push_back(ch);
        if (i == last && ch != '$') buffer.assign(kResetAll);
        if (ch == '$' || buffer == kResetAll) {
          const bool reset = buffer == kResetAll;
          if (Interpret(buffer) && buffer != "#ChB$") pending = false;
          shown = reset;
          buffer.clear();
          showing = true;
        } else {
          shown = showing;
        }
      }
      if (shown) doc_.AppendElement(ElementKind::Char, ch, format);
    }
    doc_.AppendLineBreak();
    // Bold never reaches past its line, also when the line ends with a "$".
    bold_ = false;
  }

 private:
  CharFormat TextFormat(Rgb colour) const { return {FontKind::Text, bold_, 12, colour, false}; }

  // Applies a complete tag; false for an unrecognised one.
  bool Interpret(const std::string& tag) {
    if (tag == kResetAll) {
      bold_ = false;
      return true;
    }
    if (tag == "#Ch13$") {
      doc_.AppendLineBreak();
      return true;
    }
    if (tag == "#EndLig$") {
      doc_.AppendLineBreak();
      doc_.AppendText(std::string(kSeparatorLength, '_'), TextFormat(kBlack));
      return true;
    }
    if (tag == "#ChB$") {
      bold_ = true;
      return true;
    }
    if (tag == "#Fo$") return true;
    const std::size_t underscore = tag.find('_');
    if (underscore == std::string::npos || tag.back() != '$') return false;
    const std::string_view name = std::string_view(tag).substr(0, underscore + 1);
    const std::string argument =
        Trim(std::string_view(tag).substr(underscore + 1, tag.size() - underscore - 2));
    if (name == "#FoPur_") {
      doc_.AppendText(argument, TextFormat(kPurple));
    } else if (name == "#FoGra_") {
      doc_.AppendText(argument, TextFormat(kGrey));
    } else if (name == "#Del_") {
      // shows nothing
    } else if (name == "#DwF_") {
      Picture(PictureKind::DrawnFraction, argument);
    } else if (name == "#DrawF_") {
      Picture(PictureKind::Figure, argument);
    } else if (name == "#InsImg_") {
      Picture(PictureKind::Media, argument);
    } else {
      return false;
    }
    return true;
  }

  void Picture(PictureKind kind, std::string argument) {
    PictureRequest request{kind, std::move(argument), -1};
    if (!resolver_) {
      doc_.AppendPicture(std::move(request), TextFormat(kBlack));
      return;
    }
    const PictureOutcome outcome = resolver_->Resolve(request);
    switch (outcome.kind) {
      case PictureOutcome::Kind::Picture:
        request.handle = outcome.handle;
        doc_.AppendPicture(std::move(request), TextFormat(kBlack));
        break;
      case PictureOutcome::Kind::Text:
        doc_.AppendText(outcome.text, TextFormat(kBlack));
        break;
      case PictureOutcome::Kind::Nothing:
        break;
      case PictureOutcome::Kind::Failed:
        if (trace_) trace_->Trace(kPictureFailedTrace);
        break;
    }
  }

  SheetDocument& doc_;
  PictureResolver* resolver_;
  TraceLog* trace_;
  bool bold_ = false;
};

}  // namespace

RenderedSheet RenderQuestionLines(const std::vector<std::string>& lines, PictureResolver* resolver,
                                  TraceLog* trace) {
  RenderedSheet result;
  std::vector<std::string> answers;
  LineRenderer renderer(result.sheet, resolver, trace);
  for (const std::string& line : lines) renderer.Render(PrepareLine(line, &answers));

  result.expected.reserve(answers.size());
  for (std::string& answer : answers) result.expected.push_back({0, 0, std::move(answer)});
  for (int i = 0; i < 3; ++i) result.sheet.AppendLineBreak();

  result.log = result.sheet;
  result.sheet.MarkUntouchedFields();
  result.sheet.InsertPlaceholdersInFields();
  const std::size_t first = result.sheet.Text().find(kFieldOpen);
  result.caret = first == std::string::npos ? 0 : static_cast<int>(first) + 1;
  return result;
}

std::vector<std::string> LineAnswers(std::string_view line) {
  std::vector<std::string> answers;
  PrepareLine(line, &answers);
  return answers;
}

}  // namespace quillo
