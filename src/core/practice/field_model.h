// Answer fields of the practice editor's document: where a caret stands relative to the fields,
// the fields' contents, the moves between fields, the typing filter and the scrolling decisions
// of the navigation buttons. Positions are 0-based caret positions (before the element at that
// index); field numbers are 0-based in text order.
#pragma once

#include <string>
#include <vector>

#include "practice/sheet_document.h"

namespace quillo {

// Where a caret stands. d, e, f and g are the measures the acceptance rules are stated in.
struct CaretPlace {
  int lastOpen = -1;     // d: position of the last opening delimiter before the caret, -1 if none
  int lastClose = -1;    // e: position of the last closing delimiter before the caret, -1 if none
  int toClose = 0;       // f: distance to the next closing delimiter (1 directly after), 0 if none
  int toOpen = 0;        // g: the same for the next opening delimiter
  bool inside = false;   // within a field: f > 0 and g > f, or d after e
  bool atStart = false;  // directly after an opening delimiter
  bool atEnd = false;    // directly before a closing delimiter
  int openPos = -1;      // the enclosing field's delimiters, when inside
  int closePos = -1;
  int Length() const { return inside ? closePos - openPos - 1 : 0; }  // L, spaces included
};

CaretPlace LocateCaret(const SheetDocument& doc, int pos);

int FieldCount(const SheetDocument& doc);

// The content of every field in order, with spaces removed at both ends.
std::vector<std::string> FieldContents(const SheetDocument& doc);

struct FieldRef {
  int index = -1;       // the number of opening delimiters before the position, less one
  std::string content;  // the text between the delimiters around the position, untrimmed
};
FieldRef FieldAt(const SheetDocument& doc, int pos);

// The caret positions the moves lead to; -1 where the caret stays.
// Just after the first opening delimiter at or after pos (from the text's start when asked).
int NextFieldCaret(const SheetDocument& doc, int pos, bool fromStart);
// Just after the last opening delimiter before the last closing delimiter that stands before the
// character preceding pos.
int PreviousFieldCaret(const SheetDocument& doc, int pos);
// Just after the opening delimiter of field k.
int FieldCaret(const SheetDocument& doc, int k);
// The click rule: from 5 characters before pos, the first delimiter decides: just after an
// opening one, just before a closing one. When no delimiter follows, the last field before pos
// is taken (just before its closing delimiter).
int NearestFieldCaret(const SheetDocument& doc, int pos);

// The positions of a field's content (between its delimiters); {-1, -1} for no such field.
struct FieldSpan {
  int begin = -1;  // just after the opening delimiter
  int end = -1;    // the closing delimiter's position
};
FieldSpan FieldSpanOf(const SheetDocument& doc, int k);
// The spans of every field in order, found in one pass.
std::vector<FieldSpan> FieldSpans(const SheetDocument& doc);

// The typing filter: "´" (0xB4) is typed as "'"; IsTypeable tells the characters a pupil may
// type (space, ' * + , - . < = > `, digits, ASCII letters and the accented letters of French and
// German answers). Control characters and "/", ":", "?" are never typeable.
char MapTypedCharacter(char ch);
bool IsTypeableCharacter(char ch);

// Scrolling decisions of the navigation, in lines (positive: down). Lines are 0-based.
// After moving to the next field (or Enter): two lines down when the caret's line has reached
// the last visible line.
int ScrollAfterNextField(int caretLine, int lastVisibleLine);
// After moving to the previous field: one line up when the first visible line is at or below
// the caret's line.
int ScrollAfterPreviousField(int caretLine, int firstVisibleLine);
// The caret's line to the top of the view.
int ScrollCaretLineToTop(int caretLine, int firstVisibleLine);

}  // namespace quillo
