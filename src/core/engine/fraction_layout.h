// Drawn fraction expressions: the layout pass reduces the nested groups of a drawing description
// ("<<3>\<4>>" is three quarters), innermost first, to fraction records measured in character
// cells; the placement pass turns the records into drawing entries (a character, a fraction bar
// or a symbol at a pixel position) that the picture layer renders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class MessageBox;

// One character cell is 7 pixels wide and 14 pixels high.
inline constexpr int kCellWidth = 7;
inline constexpr int kCellHeight = 14;
// Both passes stop after this many steps, so a malformed description ends with a partial
// picture.
inline constexpr int kPassLimit = 999;

// One reduced group.
struct Ty_FractInLine {
  std::string name;  // "#0", "#1", ... in creation order
  // The group's inner text with its delimiters blanked and inner groups replaced by their names;
  // a row of more than one word ends with " $".
  std::string text;
  int rowOffset = 0;  // the picture row at which the placement put the record's top
  int width = 0;      // L, cells
  int height = 0;     // H, rows
  std::string status1;  // "oK" once the placement has aligned the rows of the record's parts
  std::string status2;  // "dec2" once the part after the record's first word has been placed
  int prefixSuffixWidth = 0;
  // For a fraction, its numerator and denominator; for a row, the largest numerator and
  // denominator heights of its fraction parts (so their bars share one line).
  int numeratorWidth = 0;
  int numeratorHeight = 0;
  int denominatorWidth = 0;
  int denominatorHeight = 0;
  bool fraction = false;  // a numerator over a denominator rather than a row
};

// One drawing entry. text is a character, "\" for a fraction bar, "^" for the start of an
// exponent, or an operator name drawn as a symbol ("sqrt", "sqrt1", "del"); brackets "(", ")",
// "[", "]" are drawn as symbols stretched to their height.
//  - a character, a digit or a bracket: (x, y) is the top left of its cell, w and h its size;
//  - a fraction bar: (x, y) its start and (w, h) its end point;
//  - a symbol: its picture goes to (x, y + 2); w and h are the size it covers in pixels. A
//    root's own entry covers the one column before its operand and the operand's height; it is
//    followed by one continuation entry ("sqrt1", w = -255) per operand column, which draws the
//    bar over that column. A root's entries stand one pixel lower than a cancellation's, so
//    that its bar runs one pixel below the top of the operand;
//  - "^": at (-21, -21), not drawn at a position of its own; w is the number of exponent digit
//    entries that follow it, each drawn as the symbol "^" + digit in its cell.
// The list starts with the marker entry "~" at (35, 70), which is not drawn.
struct Ty_DrawCoorF {
  std::string text;
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

// A group placed on the current line, to which the placement returns.
struct Ty_SeeBackInLine {
  std::string name;
  int x = 0;
  int y = 0;
};

// The state of one drawing: the records, the entries and the trace of the placement steps
// (for every step a line break, the element, ",     X=", x, " ; Y=", y).
struct FractionDrawing {
  std::vector<Ty_FractInLine> records;
  std::vector<Ty_DrawCoorF> entries;
  std::string trace;
};

// The parts of a record text that holds "\" after a numerator word: the numerator is the last
// word before "\", the words before it the prefix; the denominator the first word after it, the
// words after that the suffix.
struct FractionParts {
  std::vector<std::string> prefix;
  std::string numerator;
  std::string denominator;
  std::vector<std::string> suffix;
};
bool SplitFractionText(std::string_view text, FractionParts& parts);

// The layout pass over a description without spaces: resets the drawing (entries: the "~"
// marker), reduces the groups to records and makes the whole description the last record.
// Group delimiters that do not balance show kBracketMessage once; the pass still ends with a
// last record.
void LayoutPass(std::string_view description, FractionDrawing& drawing, MessageBox& msgBox);

// The placement pass over the records of the layout pass: fills the entries and the trace.
// A ")" without "(" and an unknown operator before "(" show their messages; the pass goes on.
void PlacementPass(FractionDrawing& drawing, MessageBox& msgBox);

// Removes every space from the description and runs both passes.
FractionDrawing DrawExpression(std::string_view description, MessageBox& msgBox);

// Clears the records, the entries and the trace.
void FreeExpression(FractionDrawing& drawing);

}  // namespace quillo
