// The text field toolkit: the small text operations every file format and the template engine
// use (fields by separator, enclosed text, splitting and joining, counting, character classes,
// stripping and replacing, bracket-depth scans, key filters). Texts are Windows-1252 bytes;
// positions are 1-based. Every operation is a pure function that never reads outside its text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class MessageBox;

// --- Primitive rules -----------------------------------------------------------------------

// Substring copy: a start below 1 counts as 1; a count running past the end stops there; a
// count of 0 or less gives the empty text.
std::string CopyStr(std::string_view text, long start, long count);
// Deletes count characters from start; a start below 1 or past the end deletes nothing.
std::string DeleteStr(std::string_view text, long start, long count);
// Inserts sub at pos; a pos below 1 inserts at the front, past the end appends.
std::string InsertStr(std::string_view text, std::string_view sub, long pos);
// 1-based position of the first sub at or after from (1-based; below 1 counts as 1); 0 when
// none. An empty sub is never found.
long PosOf(std::string_view sub, std::string_view text, long from = 1);
// Removes the characters up to and including space (control characters too) at both ends /
// the left end / the right end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
// True when text begins with prefix.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.starts_with(prefix);
}
// ASCII letter case.
std::string UpperCaseAscii(std::string_view text);
std::string LowerCaseAscii(std::string_view text);
// Replaces every occurrence of old (non-empty) by new, left to right, without rescanning.
std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText);

// --- Field extraction and enclosed text ------------------------------------------------------

// Field n (1-based) of text + sep cut at sep; empty past the last field or for n < 1.
std::string GetField(std::string_view text, std::string_view sep, long n);
std::string GetField(std::string_view text, char sep, long n);
// The same without appending sep: the last field stands for every n past it.
std::string GetFieldOrLast(std::string_view text, std::string_view sep, long n);
// From the end backwards up to and including the n-th sep met; the whole text when fewer.
std::string GetTailFromEnd(std::string_view text, char sep, long n);
// Field n counted from the end; the first field when there are fewer than n separators.
std::string GetFieldFromEnd(std::string_view text, char sep, long n);
// The last sep-field of the text cut at the last of any of markerChars.
std::string GetFieldBeforeLast(std::string_view text, char sep, std::string_view markerChars);
// The n-th open..close pair's inner text (see the toolkit's rules for unpaired markers).
std::string GetBetween(std::string_view text, char open, char close, long n);
// The n-th text between open and close (multi-character markers skipped whole).
std::string GetNthEnclosed(std::string_view text, std::string_view open, std::string_view close,
                           long n);
// The text after the first character of the first marker up to the first close after it; the
// empty text when marker or close does not occur.
std::string GetBetweenFirst(std::string_view text, std::string_view marker, std::string_view close);
// The text after the last occurrence of any of chars; the whole text when none occurs.
std::string GetAfterLast(std::string_view text, std::string_view chars);
// Character n as a one-character text; empty past the end (or below 1).
std::string CharAt(std::string_view text, long n);
// Characters from..to (from below 1 counts as 1, to past the end as the last character).
std::string CopyRange(std::string_view text, long from, long to);
// The text strictly between the nearest leftChar at or before pos and the next rightChar.
std::string TextAround(std::string_view text, char leftChar, char rightChar, long pos);
// Walking back from pos: from the first startChar met, the characters back to and including
// the next stopChar, in text order. The empty text when no startChar is at or before pos.
std::string TextBackTo(std::string_view text, char stopChar, char startChar, long pos);

// --- Splitting, joining, counting ----------------------------------------------------------

// Strict delimited split: quoted fields, a trailing separator adds an empty field, the empty
// text gives no field.
std::vector<std::string> SplitToList(char sep, std::string_view text);
// Plain split: empty inner fields kept, a trailing separator adds nothing, "" gives nothing.
std::vector<std::string> SplitToStrings(char sep, std::string_view text);
// As SplitToStrings, each field an integer; throws "'%s' is not a valid integer value".
std::vector<int64_t> SplitToInts(char sep, std::string_view text);
// Every piece between separators: n separators give n + 1 texts ("" gives one empty text).
std::vector<std::string> SplitAll(char sep, std::string_view text);
// Joined with sep between.
std::string JoinWith(const std::vector<std::string>& parts, std::string_view sep);
// Joined with ";" between.
std::string JoinFields(const std::vector<std::string>& fields);
// n characters ";".
std::string SeparatorRun(long n);
long CountChar(std::string_view text, std::string_view ch);
long CountChar(std::string_view text, char ch);
long CountCharUpTo(std::string_view text, char ch, long n);
long CountText(std::string_view text, std::string_view sub);        // overlapping
long CountTextNoCase(std::string_view text, std::string_view sub);  // not overlapping
long CountPowerSigns(std::string_view text);
long DistanceToChar(std::string_view text, char ch, long from, bool forward);
long PositionOfNthChar(std::string_view text, char ch, long from, long n);
long PositionAfterNth(std::string_view text, char ch, long n);
std::string CollectBetweenChars(std::string_view text, char openChar, char closeChar);

// --- Character classes -----------------------------------------------------------------------

bool IsDigitsOnly(std::string_view text);
bool IsDigitsOrComma(std::string_view text);
bool IsNumberText(std::string_view text);
bool IsDigitsOrMinus(std::string_view text);
bool IsSignedInteger(std::string_view text);
bool IsAllPunctuation(std::string_view text);
bool IsDigitAt(std::string_view text, long pos);
bool IsLetterAt(std::string_view text, long pos);
bool IsTimesSignAt(std::string_view text, long pos);
bool IsOperatorAt(std::string_view text, long pos);
bool IsBracketAt(std::string_view text, long pos);
bool IsPowerSignAt(std::string_view text, long pos);
bool ContainsBracket(std::string_view text);
bool ContainsOperator(std::string_view text);

// --- Stripping and replacing -----------------------------------------------------------------

std::string RemoveSpaces(std::string_view text);
std::string SqueezeChar(std::string_view text, char ch);
// Drops every openChar..closeChar stretch (an unclosed one runs to the end); with
// dropStrayClose also closeChars outside one.
std::string RemoveBetweenChars(std::string_view text, char openChar, char closeChar,
                               bool dropStrayClose = false);
std::string RemovePunctuation(std::string_view text);
std::string ReplaceFirst(std::string_view text, std::string_view oldText, std::string_view newText);
std::string ReplaceEach(std::string_view text, std::string_view targets, std::string_view newText);
std::string ReplaceRun(std::string_view text, std::string_view insert, char delimChar, long from);
std::string ReplaceInContext(std::string_view text, std::string_view find, std::string_view newText,
                             std::string_view left, std::string_view right);
std::string DeleteThroughNth(std::string_view text, char ch, long n);
std::string CutAfterNth(std::string_view text, std::string_view marker, std::string_view terminator,
                        long n);
// A last quoteChar without a partner is copied with the rest.
std::string FillQuoted(std::string_view text, char quoteChar,
                       const std::vector<std::string>& values);
// mode "Right" or "Left" (any other mode is treated as "Left").
std::string PadInto(std::string_view text, std::string_view value, long pos, std::string_view mode,
                    long width);
std::string FillLike(std::string_view text, char ch);
std::string SpaceAround(std::string_view text, char ch, std::string_view pad);

// --- Bracket-aware operations ----------------------------------------------------------------

// openings and closings are sets of characters.
int BracketDepthStep(char ch, int depth, std::string_view openings, std::string_view closings);
std::string RemoveGroups(std::string_view text, std::string_view openings,
                         std::string_view closings);
// Every closing character, whatever its depth, is written as ";".
std::string GroupContents(std::string_view text, std::string_view openings,
                          std::string_view closings);
// The characters directly inside the group opened by the n-th openChar (groups nested in it
// are kept whole) give way to newText, written once at the first of them.
std::string ReplaceGroup(std::string_view text, std::string_view newText, char openChar,
                         char closeChar, long n);
std::string WrapWords(std::string_view text, bool bracketAware, long minLength);

// --- Key filters ------------------------------------------------------------------------------

// Backspace, space, "-", digits, letters and "_" pass; anything else is reported with the
// message "0..9 ; A..Z" and swallowed (0).
char FilterNameKey(char ch, MessageBox& msgBox);
// Beyond maxLength every key becomes a backspace (8); otherwise the forbidden characters
// " ' * / : < > ? \ ¦ # ; are swallowed (0).
char FilterFieldKey(char ch, std::string_view currentText, long maxLength);

}  // namespace quillo
