// The practice editor's documents as Qt text documents: the character formats (fonts, colours,
// sizes, the field background, the raise of the text), the two field glyphs, the invisible
// delimiters and the inline pictures, built once from a document and then kept up to date by
// the document's edits. Every position of a model document is the same position in its text
// document.
#pragma once

#include <QChar>
#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <string>
#include <vector>

#include "practice/sheet_document.h"

class QTextCursor;
class QTextDocument;

namespace quillo {

class SheetPictures;

// The glyphs that stand for the symbol font's field marks: an arrow pointing into the field
// before it and one pointing back into it after it.
inline constexpr char16_t kOpenGlyphChar = u'\u27A1';
inline constexpr char16_t kCloseGlyphChar = u'\u2B05';

// The view's ground and the text's raise above its base line (70 twips).
inline const QColor kViewBackground{192, 220, 192};
inline constexpr double kTextRaisePoints = 70.0 / 20.0;
// The text margins of the views, in pixels.
inline constexpr int kTopTextMargin = 6;
inline constexpr int kLeftTextMargin = 20;
inline constexpr int kRightTextMargin = 5;

// The font of a format: "Tahoma" (with its DejaVu fallback) for text, the family that holds
// the arrow glyphs for the symbol marks.
QFont SheetFont(const CharFormat& format);

// The view's character of one position of a model document.
QChar ViewChar(ElementKind kind, char byte);

class SheetTextWriter {
 public:
  explicit SheetTextWriter(const SheetPictures* pictures = nullptr) : pictures_(pictures) {}
  void SetPictures(const SheetPictures* pictures) { pictures_ = pictures; }

  // Prepares an empty document for the views: no undo history, margins, default font.
  static void Prepare(QTextDocument& doc);
  // Replaces the whole text of doc by the model document, pictures included.
  void Load(QTextDocument& doc, const SheetDocument& model);
  // Applies the model's edits in order (model is the document after them, for its pictures).
  void Apply(QTextDocument& doc, const SheetDocument& model, const std::vector<DocEdit>& edits);

  // The Qt format of a model format (cached).
  const QTextCharFormat& Format(const CharFormat& format);

 private:
  void InsertRuns(QTextDocument& doc, QTextCursor& cursor, const SheetDocument& model,
                  const std::vector<StyledRun>& runs);
  void InsertPicture(QTextDocument& doc, QTextCursor& cursor, const SheetDocument& model,
                     const StyledRun& run);
  void RestyleRuns(QTextCursor& cursor, int pos, const std::vector<StyledRun>& runs);

  const SheetPictures* pictures_;
  std::vector<std::pair<CharFormat, QTextCharFormat>> formats_;
};

// The text of a view's document in the bytes of the model's Text(): characters in
// Windows-1252, the glyphs as the symbol font's bytes, the delimiters as themselves, a line
// break as "\n" and a picture as its byte.
std::string ModelText(const QTextDocument& doc);

}  // namespace quillo
