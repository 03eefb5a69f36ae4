// The operators of the drawn expressions (root, power, cancellation and the written functions)
// with the columns their symbols take, and the bracket-block tracker that tells which bracketed
// block an operator symbol covers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class MessageBox;

// One row of the operator table: the name, the columns the name's written form takes, the
// columns by which the symbol overlaps its operand, and the kind. A kind beginning with "Y" makes
// the bracket block after the name the operand that the symbol covers; "Y" and "A" kinds are
// drawn as symbols of the line-symbol file ("YA" adds the continuation symbol, name + "1");
// "N" is written as plain text.
struct TOperateurRow {
  const char* name;
  int columns;
  int overlap;
  const char* kind;
};

inline constexpr int kOperatorRows = 9;
// Row 0 is the empty end row.
extern const TOperateurRow TOperateur[kOperatorRows];

// The message of a closing bracket without an opening one.
inline constexpr const char* kBracketMessage =
    "Error: Opening or Closing barket.. () not put, Pls correct().. err087376";
// The message of an operator name that is not in the table.
inline constexpr const char* kUnknownOperatorMessage =
    "Error:Over 7000 counts, check Ope String Er098752";

// The row whose name equals name in any letter case, as its four texts joined by ";"
// ("sqrt;6;1;YA"). The empty name finds the end row. A name of no row shows
// kUnknownOperatorMessage and gives the empty text.
std::string FindOperator(std::string_view name, MessageBox& msgBox);

// The same lookup without a message: the row number, or -1.
int OperatorRowOf(std::string_view name);

// True when an entry of this name is drawn as a symbol of the line-symbol file: a name of three
// or more letters whose row takes columns and whose kind begins with "Y" or "A".
bool IsSymbolOperator(std::string_view name);

// One operator found in a text and the columns it takes away from the text's drawn width.
struct TyOpeCodeFund {
  std::string name;
  int width = 0;
};

// The operators occurring in text (names matched in any letter case, occurrences not
// overlapping), each with (columns - overlap) x its number of occurrences.
std::vector<TyOpeCodeFund> OperatorsIn(std::string_view text);

// The sum of the widths of OperatorsIn(text).
int WidthAdjustment(std::string_view text);

// The width of text in character cells: its length less its width adjustment.
int DrawnWidth(std::string_view text);

// One open block of the tracker: the letters of the operator that opened it (empty for the
// contents of a bracket), the characters seen since it opened, whether the name is still being
// collected, and the number of open blocks of "Y" operators when it opened (itself included).
struct Ty_OpeParentheseBlock {
  std::string name;
  int count = 0;
  bool collecting = false;
  int openY = 0;
  bool bracket = false;  // the contents of a "(" rather than an operator name
  bool yKind = false;    // a completed operator name of a "Y" kind
};

// Feeds the characters of a drawn expression one at a time and reports, for every ")", whether
// it closed the operand of a "Y" operator and how many characters that operand holds.
class BracketBlockTracker {
 public:
  explicit BracketBlockTracker(MessageBox& msgBox) : msgBox_(msgBox) {}

  // Takes one character. For a ")" that closes an operator's operand: "T;" + the operand's
  // character count (brackets excluded, the width adjustment of operators inside it already
  // taken off) + ";" + the operator's name; for any other ")": "F;" + the count + ";"; for every
  // other character "F;0;". A ")" with no open bracket shows kBracketMessage. A run of letters
  // that is not followed by "(" is a plain word and opens no block.
  std::string TrackBracketBlock(char ch);

  // The letters collected so far for the innermost block, when it is still collecting a name.
  std::string PendingName() const;

  const std::vector<Ty_OpeParentheseBlock>& Blocks() const { return blocks_; }
  void Reset() { blocks_.clear(); }

 private:
  MessageBox& msgBox_;
  std::vector<Ty_OpeParentheseBlock> blocks_;
};

}  // namespace quillo
