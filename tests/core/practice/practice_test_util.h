// Helpers of the practice editor tests: a readable picture of a document, and a mirror that
// replays the reported edits the way a view would, to prove the edits describe every change.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "practice/sheet_document.h"

namespace quillo::test {

// Characters as themselves, "<" and ">" for the glyphs, "|" for the delimiters, "\n" for line
// breaks, "@" for pictures.
inline std::string Shown(const SheetDocument& doc) {
  std::string out;
  for (int i = 0; i < doc.Size(); ++i) {
    switch (doc.KindAt(i)) {
      case ElementKind::Char:
        out.push_back(doc.ByteAt(i));
        break;
      case ElementKind::Glyph:
        out.push_back(doc.ByteAt(i) == kGlyphOpen ? '<' : '>');
        break;
      case ElementKind::Delimiter:
        out.push_back('|');
        break;
      case ElementKind::LineBreak:
        out.push_back('\n');
        break;
      case ElementKind::Picture:
        out.push_back('@');
        break;
    }
  }
  return out;
}

// One letter per position: r regular black, b bold black, B bold blue, u typed blue, p purple,
// P bold purple, g grey, G glyph, d delimiter, n line break, @ picture, ? anything else.
inline char StyleLetter(ElementKind kind, const CharFormat& f) {
  switch (kind) {
    case ElementKind::Glyph:
      return f.font == FontKind::Symbol && f.bold && f.colour == kGreen ? 'G' : '?';
    case ElementKind::Delimiter:
      return f.pointSize == 1 && f.colour == kEditorBackground ? 'd' : '?';
    case ElementKind::LineBreak:
      return 'n';
    case ElementKind::Picture:
      return '@';
    case ElementKind::Char:
      break;
  }
  if (f.font != FontKind::Text || f.pointSize != 12) return '?';
  if (f.colour == kBlack) return f.bold ? 'b' : 'r';
  if (f.colour == kBlue) return f.bold ? 'B' : 'u';
  if (f.colour == kPurple) return f.bold ? 'P' : 'p';
  if (f.colour == kGrey) return 'g';
  return '?';
}

inline std::string Styles(const SheetDocument& doc) {
  std::string out;
  for (int i = 0; i < doc.Size(); ++i) out.push_back(StyleLetter(doc.KindAt(i), doc.FormatAt(i)));
  return out;
}

// A view's copy of a document: built from the runs, kept up to date by the reported edits only.
class Mirror {
 public:
  explicit Mirror(const SheetDocument& doc) { Insert(0, doc.Runs()); }

  void Apply(const std::vector<DocEdit>& edits) {
    for (const DocEdit& e : edits) {
      switch (e.kind) {
        case DocEdit::Kind::Insert: {
          int n = 0;
          for (const StyledRun& r : e.runs) n += r.Length();
          EXPECT_EQ(n, e.count);
          Insert(e.pos, e.runs);
          break;
        }
        case DocEdit::Kind::Remove:
          ASSERT_LE(e.pos + e.count, static_cast<int>(cells_.size()));
          cells_.erase(cells_.begin() + e.pos, cells_.begin() + e.pos + e.count);
          break;
        case DocEdit::Kind::Restyle: {
          int at = e.pos;
          for (const StyledRun& r : e.runs)
            for (int i = 0; i < r.Length(); ++i)
              cells_[static_cast<std::size_t>(at++)].format = r.format;
          break;
        }
      }
    }
  }

  // True when the mirror holds exactly the document's positions and formats.
  ::testing::AssertionResult Matches(const SheetDocument& doc) const {
    if (static_cast<int>(cells_.size()) != doc.Size())
      return ::testing::AssertionFailure() << "size " << cells_.size() << " vs " << doc.Size();
    for (int i = 0; i < doc.Size(); ++i) {
      const Cell& c = cells_[static_cast<std::size_t>(i)];
      if (c.kind != doc.KindAt(i) || c.ch != doc.ByteAt(i) || !(c.format == doc.FormatAt(i)))
        return ::testing::AssertionFailure() << "differs at " << i;
    }
    return ::testing::AssertionSuccess();
  }

 private:
  struct Cell {
    ElementKind kind;
    char ch;
    CharFormat format;
  };
  void Insert(int pos, const std::vector<StyledRun>& runs) {
    std::vector<Cell> cells;
    for (const StyledRun& r : runs)
      for (char ch : r.text) cells.push_back({r.kind, ch, r.format});
    cells_.insert(cells_.begin() + pos, cells.begin(), cells.end());
  }
  std::vector<Cell> cells_;
};

}  // namespace quillo::test
