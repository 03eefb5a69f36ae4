// The practice editor's document of positions.
#include "practice/sheet_document.h"

#include <algorithm>

namespace quillo {

namespace {

// Runs of equal kind and format are merged; a picture always stands alone.
void AddToRuns(std::vector<StyledRun>& runs, ElementKind kind, char ch, const CharFormat& format,
               int picture) {
  if (!runs.empty() && kind != ElementKind::Picture) {
    StyledRun& last = runs.back();
    if (last.kind == kind && (kind == ElementKind::LineBreak || last.format == format)) {
      last.text.push_back(ch);
      return;
    }
  }
  StyledRun run;
  run.kind = kind;
  run.format = kind == ElementKind::LineBreak ? kDefaultText : format;
  run.text.assign(1, ch);
  run.picture = picture;
  runs.push_back(std::move(run));
}

}  // namespace

void SheetDocument::Clear() {
  text_.clear();
  cells_.clear();
  pictures_.clear();
}

void SheetDocument::AppendText(std::string_view text, const CharFormat& format) {
  for (const Element& e : TextElements(text, format)) AppendElement(e.kind, e.ch, e.format);
}

void SheetDocument::AppendElement(ElementKind kind, char ch, const CharFormat& format) {
  text_.push_back(ch);
  cells_.push_back({kind, format, -1});
}

void SheetDocument::AppendLineBreak() { AppendElement(ElementKind::LineBreak, kLineBreakByte, {}); }

int SheetDocument::AppendPicture(PictureRequest request, const CharFormat& format) {
  int index = static_cast<int>(pictures_.size());
  pictures_.push_back(std::move(request));
  text_.push_back(kPictureByte);
  cells_.push_back({ElementKind::Picture, format, index});
  return index;
}

DocEdit SheetDocument::InsertText(int pos, std::string_view text, const CharFormat& format) {
  return InsertElements(pos, TextElements(text, format));
}

DocEdit SheetDocument::InsertElements(int pos, const std::vector<Element>& elements) {
  pos = std::clamp(pos, 0, Size());
  std::string bytes;
  std::vector<Cell> cells;
  bytes.reserve(elements.size());
  cells.reserve(elements.size());
  DocEdit edit;
  edit.kind = DocEdit::Kind::Insert;
  edit.pos = pos;
  for (const Element& e : elements) {
    bytes.push_back(e.ch);
    cells.push_back({e.kind, e.format, e.picture});
    AddToRuns(edit.runs, e.kind, e.ch, e.format, e.picture);
  }
  text_.insert(static_cast<std::size_t>(pos), bytes);
  cells_.insert(cells_.begin() + pos, cells.begin(), cells.end());
  edit.count = static_cast<int>(elements.size());
  return edit;
}

DocEdit SheetDocument::Remove(int pos, int count) {
  pos = std::clamp(pos, 0, Size());
  count = std::clamp(count, 0, Size() - pos);
  text_.erase(static_cast<std::size_t>(pos), static_cast<std::size_t>(count));
  cells_.erase(cells_.begin() + pos, cells_.begin() + pos + count);
  return {DocEdit::Kind::Remove, pos, count, {}};
}

DocEdit SheetDocument::Restyle(int pos, int count, const CharFormat& format) {
  pos = std::clamp(pos, 0, Size());
  count = std::clamp(count, 0, Size() - pos);
  for (int i = pos; i < pos + count; ++i) cells_[static_cast<std::size_t>(i)].format = format;
  return {DocEdit::Kind::Restyle, pos, count, Runs(pos, pos + count)};
}

std::vector<StyledRun> SheetDocument::Runs(int from, int to) const {
  if (to < 0 || to > Size()) to = Size();
  from = std::clamp(from, 0, to);
  std::vector<StyledRun> runs;
  for (int i = from; i < to; ++i) {
    const Cell& c = cells_[static_cast<std::size_t>(i)];
    AddToRuns(runs, c.kind, text_[static_cast<std::size_t>(i)], c.format, c.picture);
  }
  return runs;
}

int SheetDocument::PositionOfPicture(int index) const {
  if (index < 0) return -1;
  for (std::size_t at = text_.find(kPictureByte); at != std::string::npos;
       at = text_.find(kPictureByte, at + 1)) {
    if (cells_[at].kind == ElementKind::Picture && cells_[at].picture == index)
      return static_cast<int>(at);
  }
  return -1;
}

int SheetDocument::LineOf(int pos) const {
  pos = std::clamp(pos, 0, Size());
  return static_cast<int>(std::count(text_.begin(), text_.begin() + pos, kLineBreakByte));
}

int SheetDocument::LineStart(int line) const {
  if (line <= 0) return 0;
  std::size_t at = 0;
  for (int n = 0; n < line; ++n) {
    at = text_.find(kLineBreakByte, at);
    if (at == std::string::npos) return Size();
    ++at;
  }
  return static_cast<int>(at);
}

void SheetDocument::MarkUntouchedFields() {
  const std::size_t n = text_.size();
  for (std::size_t i = text_.find(kFieldOpen); i != std::string::npos && i + 2 < n;
       i = text_.find(kFieldOpen, i + 1)) {
    if (i == 0 || text_[i + 1] != kFieldClose) continue;
    if (cells_[i - 1].kind != ElementKind::Glyph || text_[i - 1] != kGlyphOpen) continue;
    if (cells_[i + 2].kind != ElementKind::Glyph || text_[i + 2] != kGlyphClose) continue;
    for (std::size_t k = i - 1; k <= i + 2; ++k) cells_[k].format.fieldBackground = true;
  }
}

void SheetDocument::InsertPlaceholdersInFields() {
  const std::size_t fields =
      static_cast<std::size_t>(std::count(text_.begin(), text_.end(), kFieldOpen));
  if (fields == 0) return;
  std::string text;
  std::vector<Cell> cells;
  text.reserve(text_.size() + 2 * fields);
  cells.reserve(cells_.size() + 2 * fields);
  for (std::size_t i = 0; i < text_.size(); ++i) {
    text.push_back(text_[i]);
    cells.push_back(cells_[i]);
    if (cells_[i].kind == ElementKind::Delimiter && text_[i] == kFieldOpen) {
      text.append("  ");
      cells.push_back({ElementKind::Char, kDefaultText, -1});
      cells.push_back({ElementKind::Char, kDefaultText, -1});
    }
  }
  text_.swap(text);
  cells_.swap(cells);
}

std::vector<Element> TextElements(std::string_view text, const CharFormat& format) {
  std::vector<Element> elements;
  elements.reserve(text.size());
  for (char ch : text) {
    if (ch == '\n') {
      elements.push_back({ElementKind::LineBreak, kLineBreakByte, kDefaultText, -1});
    } else if (ch == '\t') {
      elements.push_back({ElementKind::Char, ' ', format, -1});
    } else if (static_cast<unsigned char>(ch) >= 32) {
      elements.push_back({ElementKind::Char, ch, format, -1});
    }
  }
  return elements;
}

}  // namespace quillo
