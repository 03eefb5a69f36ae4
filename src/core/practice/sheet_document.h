// The practice editor's document: a sequence of positions, each one character, one symbol glyph,
// one invisible field delimiter, one line break or one picture, each with its character format.
// Positions are those of the view's text document (a picture is one object character, a line
// break one paragraph break), so a caret position here is the same position in the view. Every
// change returns a DocEdit that tells the view exactly what to change on its side.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

// The invisible marks that bound an answer field's content.
constexpr char kFieldOpen = '\x1E';   // character 30
constexpr char kFieldClose = '\x1F';  // character 31
// The symbol-font glyphs shown before and after a field.
constexpr char kGlyphOpen = '\xEE';
constexpr char kGlyphClose = '\xED';
// The byte standing for a line break and for a picture in Text().
constexpr char kLineBreakByte = '\n';
constexpr char kPictureByte = '\x1C';

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kPurple{128, 0, 128};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kEditorBackground{192, 220, 192};
constexpr Rgb kFieldBackground{213, 232, 208};

enum class ElementKind : uint8_t { Char, Glyph, Delimiter, LineBreak, Picture };

// The text font ("Tahoma") or the symbol font of the field glyphs.
enum class FontKind : uint8_t { Text, Symbol };

struct CharFormat {
  FontKind font = FontKind::Text;
  bool bold = false;
  uint8_t pointSize = 12;
  Rgb colour = kBlack;
  // Drawn on the light-green field background RGB(213,232,208) instead of the view's own.
  bool fieldBackground = false;
  friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// The formats of the sheet view.
constexpr CharFormat kDefaultText{};                                       // Tahoma 12 black
constexpr CharFormat kTypedText{FontKind::Text, false, 12, kBlue, false};  // what the pupil types
constexpr CharFormat kGlyphFormat{FontKind::Symbol, true, 12, kGreen, false};
constexpr CharFormat kDelimiterFormat{FontKind::Text, false, 1, kEditorBackground, false};

enum class PictureKind : uint8_t {
  DrawnFraction,  // "#DwF_": numerator "\" denominator
  Figure,         // "#DrawF_": a figure description for the drawing engine
  Media,          // "#InsImg_": a media-library reference
};

// A picture the view is asked to produce. `handle` is the view's own id for the picture it made
// (-1 while unresolved), kept so the view can draw the same picture again in the log view.
struct PictureRequest {
  PictureKind kind = PictureKind::Media;
  std::string argument;
  int handle = -1;
};

// Consecutive positions of one kind and one format. Char, Glyph and Delimiter runs hold their
// bytes in `text` (one byte per position); a LineBreak run holds one "\n" per break; a Picture run
// is always one position and names its request by `picture`.
struct StyledRun {
  ElementKind kind = ElementKind::Char;
  CharFormat format;
  std::string text;
  int picture = -1;
  int Length() const { return static_cast<int>(text.size()); }
};

// One change of the document, to be applied by the view in the order given.
//   Insert:  the runs are inserted at pos (count positions in all);
//   Remove:  count positions are removed at pos;
//   Restyle: the count positions at pos take the formats of the runs (same kinds as before).
struct DocEdit {
  enum class Kind : uint8_t { Insert, Remove, Restyle };
  Kind kind = Kind::Insert;
  int pos = 0;
  int count = 0;
  std::vector<StyledRun> runs;
};

// An element to insert: a kind, its byte, its format and, for a picture, its request index.
struct Element {
  ElementKind kind = ElementKind::Char;
  char ch = ' ';
  CharFormat format;
  int picture = -1;
};

// The elements of a text to insert: "\n" a line break, a tab a space, other control characters
// dropped, so no text can forge a field mark.
std::vector<Element> TextElements(std::string_view text, const CharFormat& format);

class SheetDocument {
 public:
  int Size() const { return static_cast<int>(text_.size()); }
  bool Empty() const { return text_.empty(); }
  // One byte per position: characters as themselves, glyphs as kGlyphOpen/kGlyphClose,
  // delimiters as kFieldOpen/kFieldClose, line breaks as "\n", pictures as kPictureByte.
  const std::string& Text() const { return text_; }
  ElementKind KindAt(int pos) const { return cells_[static_cast<std::size_t>(pos)].kind; }
  const CharFormat& FormatAt(int pos) const { return cells_[static_cast<std::size_t>(pos)].format; }
  int PictureAt(int pos) const { return cells_[static_cast<std::size_t>(pos)].picture; }
  char ByteAt(int pos) const { return text_[static_cast<std::size_t>(pos)]; }
  const std::vector<PictureRequest>& Pictures() const { return pictures_; }
  PictureRequest& Picture(int index) { return pictures_[static_cast<std::size_t>(index)]; }

  void Clear();

  // --- Building at the end (used while rendering; no edit is reported) ---
  // Characters in the given format, filtered as by InsertText.
  void AppendText(std::string_view text, const CharFormat& format);
  void AppendElement(ElementKind kind, char ch, const CharFormat& format);
  void AppendLineBreak();
  // Appends a picture position for the request and returns the request's index.
  int AppendPicture(PictureRequest request, const CharFormat& format);

  // --- Changes reported to the view ---
  // Inserts characters in one format at pos (clamped to the document); "\n" becomes a line
  // break, a tab a space, every other control character is dropped, so that inserted text can
  // never forge a field mark, a picture or a break.
  DocEdit InsertText(int pos, std::string_view text, const CharFormat& format);
  // Inserts the elements exactly as given (pos clamped); the caller keeps the fields paired.
  DocEdit InsertElements(int pos, const std::vector<Element>& elements);
  // Removes count positions at pos (clamped to the document).
  DocEdit Remove(int pos, int count);
  // Sets the format of count positions at pos (clamped).
  DocEdit Restyle(int pos, int count, const CharFormat& format);

  // The positions from..to (exclusive) as runs; the whole document by default.
  std::vector<StyledRun> Runs(int from = 0, int to = -1) const;
  // The position of picture request index; -1 when it is not (or no longer) in the document.
  int PositionOfPicture(int index) const;
  // The 0-based line of a position: the number of line breaks before it.
  int LineOf(int pos) const;
  // The first position of a line (Size() when the document has fewer lines).
  int LineStart(int line) const;

  // --- Whole-document rewrites used by rendering (one pass, no edit reported) ---
  // Gives the four marks of every untouched field (glyph, opening delimiter, closing delimiter,
  // glyph, nothing between the delimiters) the field background.
  void MarkUntouchedFields();
  // Inserts two spaces in the default text format after every opening delimiter.
  void InsertPlaceholdersInFields();

 private:
  struct Cell {
    ElementKind kind = ElementKind::Char;
    CharFormat format;
    int picture = -1;
  };

  std::string text_;
  std::vector<Cell> cells_;
  std::vector<PictureRequest> pictures_;
};

}  // namespace quillo
