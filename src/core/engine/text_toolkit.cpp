// The text field toolkit. Every operation works on
// byte texts with 1-based positions and checks each position against the text's length before
// reading it.
#include "engine/text_toolkit.h"

#include <algorithm>

#include "shell/conventions.h"
#include "shell/error.h"
#include "shell/seams.h"

namespace quillo {

namespace {

long Len(std::string_view text) { return static_cast<long>(text.size()); }

// Character at 1-based pos; '\0' outside the text (callers test the position first when a
// '\0' in the text would matter).
char At(std::string_view text, long pos) {
  return (pos >= 1 && pos <= Len(text)) ? text[static_cast<std::size_t>(pos - 1)] : '\0';
}

bool InSet(char ch, std::string_view set) { return set.find(ch) != std::string_view::npos; }

// The text from 1-based pos to the end (empty past the end).
std::string_view RestFrom(std::string_view text, long pos) {
  if (pos < 1) pos = 1;
  if (pos > Len(text)) return {};
  return text.substr(static_cast<std::size_t>(pos - 1));
}

// 1-based position of the last character of text that is in chars; 0 when none.
long LastOfAny(std::string_view text, std::string_view chars) {
  if (chars.empty()) return 0;
  std::size_t p = text.find_last_of(chars);
  return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

constexpr char kBrokenBar = '\xA6';  // "¦"

// The punctuation of IsAllPunctuation: ! # $ & ' ( ) + , - . : ; ? [ ] { } ¦ and '"'.
bool IsPunctuationChar(char ch) { return InSet(ch, "!#$&'()+,-.:;?[]{}\"") || ch == kBrokenBar; }

template <typename Pred>
bool NonEmptyAll(std::string_view text, Pred pred) {
  if (text.empty()) return false;
  for (char ch : text)
    if (!pred(ch)) return false;
  return true;
}

bool IsOperatorChar(char ch) { return InSet(ch, "*+-:Xx"); }
bool IsBracketChar(char ch) { return InSet(ch, "()[]"); }

}  // namespace

// --- Primitive rules -----------------------------------------------------------------------

std::string CopyStr(std::string_view text, long start, long count) {
  if (start < 1) start = 1;
  if (count <= 0 || start > Len(text)) return {};
  long avail = Len(text) - start + 1;
  if (count > avail) count = avail;
  return std::string(
      text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

std::string DeleteStr(std::string_view text, long start, long count) {
  std::string result(text);
  if (start < 1 || start > Len(text) || count <= 0) return result;
  long avail = Len(text) - start + 1;
  if (count > avail) count = avail;
  result.erase(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
  return result;
}

std::string InsertStr(std::string_view text, std::string_view sub, long pos) {
  std::string result(text);
  if (pos < 1) pos = 1;
  if (pos > Len(text)) pos = Len(text) + 1;
  result.insert(static_cast<std::size_t>(pos - 1), sub);
  return result;
}

long PosOf(std::string_view sub, std::string_view text, long from) {
  if (sub.empty()) return 0;
  if (from < 1) from = 1;
  if (from > Len(text)) return 0;
  std::size_t p = text.find(sub, static_cast<std::size_t>(from - 1));
  return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

namespace {
bool IsTrimmed(char ch) { return static_cast<unsigned char>(ch) <= 0x20; }
}  // namespace

std::string TrimLeft(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && IsTrimmed(text[b])) ++b;
  return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
  std::size_t e = text.size();
  while (e > 0 && IsTrimmed(text[e - 1])) --e;
  return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string UpperCaseAscii(std::string_view text) {
  std::string result(text);
  for (char& ch : result)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return result;
}

std::string LowerCaseAscii(std::string_view text) {
  std::string result(text);
  for (char& ch : result)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return result;
}

std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText) {
  if (oldText.empty()) return std::string(text);
  std::string result;
  std::size_t i = 0;
  while (true) {
    std::size_t p = text.find(oldText, i);
    if (p == std::string_view::npos) break;
    result.append(text.substr(i, p - i));
    result.append(newText);
    i = p + oldText.size();
  }
  result.append(text.substr(i));
  return result;
}

// --- Field extraction and enclosed text ------------------------------------------------------

namespace {

// Field cutting: n times, field = rest before the first sep, rest = rest after the separator's
// first character. Without a separator in the rest the field is the empty text (GetField) or
// the rest itself, which then stays (GetFieldOrLast).
std::string CutField(std::string_view rest, std::string_view sep, long n, bool lastRepeats) {
  std::string_view field;
  for (long i = 1; i <= n; ++i) {
    long p = PosOf(sep, rest);
    if (p == 0) {
      // The rest no longer changes, so every further pass gives the same field.
      return lastRepeats ? std::string(rest) : std::string();
    }
    field = rest.substr(0, static_cast<std::size_t>(p - 1));
    rest = rest.substr(static_cast<std::size_t>(p));
  }
  return std::string(field);
}

}  // namespace

std::string GetField(std::string_view text, char sep, long n) {
  if (n < 1) return "";
  std::size_t start = 0;
  for (long i = 1; i < n; ++i) {
    std::size_t at = text.find(sep, start);
    if (at == std::string_view::npos) return "";
    start = at + 1;
  }
  std::size_t end = text.find(sep, start);
  if (end == std::string_view::npos) end = text.size();
  return std::string(text.substr(start, end - start));
}

std::string GetField(std::string_view text, std::string_view sep, long n) {
  if (sep.size() == 1) return GetField(text, sep[0], n);
  std::string work(text);
  work.append(sep);
  return CutField(work, sep, n, false);
}

std::string GetFieldOrLast(std::string_view text, std::string_view sep, long n) {
  return CutField(text, sep, n, true);
}

std::string GetTailFromEnd(std::string_view text, char sep, long n) {
  long count = 0;
  long i = Len(text);
  while (i >= 1 && count < n) {
    if (At(text, i) == sep) ++count;
    --i;
  }
  return std::string(RestFrom(text, i + 1));
}

std::string GetFieldFromEnd(std::string_view text, char sep, long n) {
  std::string tail = GetTailFromEnd(text, sep, n);
  if (tail.size() < text.size() && !tail.empty()) tail.erase(0, 1);
  return GetFieldOrLast(tail, std::string(1, sep), 1);
}

std::string GetFieldBeforeLast(std::string_view text, char sep, std::string_view markerChars) {
  long cut = LastOfAny(text, markerChars);
  std::string_view rest = cut > 0 ? text.substr(0, static_cast<std::size_t>(cut - 1)) : text;
  return GetFieldFromEnd(rest, sep, 1);
}

std::string GetBetween(std::string_view text, char open, char close, long n) {
  std::string_view rest = text;
  long pairs = 0;
  while (true) {
    std::size_t po = rest.find(open);
    std::size_t pc = rest.find(close);
    if (pc == std::string_view::npos) return {};  // neither, or an opener without a closer
    if (po != std::string_view::npos) {
      ++pairs;
      if (pairs == n) {
        if (pc < po) return {};
        return std::string(rest.substr(po + 1, pc - po - 1));
      }
    }
    rest = rest.substr(pc + 1);
  }
}

std::string GetNthEnclosed(std::string_view text, std::string_view open, std::string_view close,
                           long n) {
  std::string_view rest = text;
  for (long i = 1; i <= n; ++i) {
    if (rest.empty() || open.empty() || close.empty()) return {};
    std::size_t po = rest.find(open);
    if (po == std::string_view::npos) return {};
    rest = rest.substr(po + open.size());
    std::size_t pc = rest.find(close);
    if (pc == std::string_view::npos) return {};
    if (i == n) return std::string(rest.substr(0, pc));
    rest = rest.substr(pc + close.size());
  }
  return {};
}

std::string GetBetweenFirst(std::string_view text, std::string_view marker,
                            std::string_view close) {
  long p = PosOf(marker, text);
  if (p == 0) return {};
  std::string_view rest = RestFrom(text, p + 1);
  long q = PosOf(close, rest);
  if (q == 0) return {};
  return std::string(rest.substr(0, static_cast<std::size_t>(q - 1)));
}

std::string GetAfterLast(std::string_view text, std::string_view chars) {
  long p = LastOfAny(text, chars);
  return p == 0 ? std::string(text) : std::string(RestFrom(text, p + 1));
}

std::string CharAt(std::string_view text, long n) {
  if (n < 1 || n > Len(text)) return {};
  return std::string(1, At(text, n));
}

std::string CopyRange(std::string_view text, long from, long to) {
  if (from < 1) from = 1;
  if (to > Len(text)) to = Len(text);
  if (from > to) return {};
  return CopyStr(text, from, to - from + 1);
}

std::string TextAround(std::string_view text, char leftChar, char rightChar, long pos) {
  long i = std::clamp(pos, 0L, Len(text));
  while (i >= 1 && At(text, i) != leftChar) --i;
  // i is the leftChar's position, or 0 when none precedes: the walk forward starts after it.
  long start = i + 1;
  long end = start;
  while (end <= Len(text) && At(text, end) != rightChar) ++end;
  return CopyStr(text, start, end - start);
}

std::string TextBackTo(std::string_view text, char stopChar, char startChar, long pos) {
  long i = std::clamp(pos, 0L, Len(text));
  while (i >= 1 && At(text, i) != startChar) --i;
  if (i < 1) return {};
  long last = i;
  --i;
  while (i >= 1 && At(text, i) != stopChar) --i;
  if (i < 1) i = 1;
  return CopyStr(text, i, last - i + 1);
}

// --- Splitting, joining, counting ----------------------------------------------------------

std::vector<std::string> SplitToList(char sep, std::string_view text) {
  // A strict delimited text: spaces are data, a field beginning with '"' is quoted (doubled
  // quotes inside stand for one; a missing closing quote runs to the end). Characters after a
  // closing quote up to the next separator form a field of their own.
  std::vector<std::string> list;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    std::string field;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.push_back(text[i++]);
      }
    } else {
      std::size_t j = i;
      while (j < n && text[j] != sep) ++j;
      field.assign(text.substr(i, j - i));
      i = j;
    }
    list.push_back(std::move(field));
    if (i < n && text[i] == sep) {
      if (i + 1 == n) list.emplace_back();
      ++i;
    }
  }
  return list;
}

std::vector<std::string> SplitToStrings(char sep, std::string_view text) {
  std::vector<std::string> fields;
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t p = rest.find(sep);
    if (p == std::string_view::npos) {
      fields.emplace_back(rest);
      break;
    }
    fields.emplace_back(rest.substr(0, p));
    rest = rest.substr(p + 1);
  }
  return fields;
}

std::vector<int64_t> SplitToInts(char sep, std::string_view text) {
  std::vector<int64_t> values;
  for (const std::string& field : SplitToStrings(sep, text)) values.push_back(TextToInt(field));
  return values;
}

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string result;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) result.push_back(';');
    result.append(fields[i]);
  }
  return result;
}

std::vector<std::string> SplitAll(char sep, std::string_view text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(sep, from);
    parts.emplace_back(text.substr(from, at == std::string_view::npos ? at : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

std::string JoinWith(const std::vector<std::string>& parts, std::string_view sep) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += sep;
    out += parts[i];
  }
  return out;
}

std::string SeparatorRun(long n) {
  return n > 0 ? std::string(static_cast<std::size_t>(n), ';') : "";
}

long CountChar(std::string_view text, std::string_view ch) {
  return ch.size() == 1 ? CountChar(text, ch[0]) : 0;
}

long CountChar(std::string_view text, char ch) {
  long count = 0;
  for (char c : text)
    if (c == ch) ++count;
  return count;
}

long CountCharUpTo(std::string_view text, char ch, long n) {
  long count = 0;
  for (long i = 1; i <= n && i <= Len(text); ++i)
    if (At(text, i) == ch) ++count;
  return count;
}

long CountText(std::string_view text, std::string_view sub) {
  if (sub.empty()) return 0;
  long count = 0;
  std::size_t p = text.find(sub);
  while (p != std::string_view::npos) {
    ++count;
    p = text.find(sub, p + 1);
  }
  return count;
}

long CountTextNoCase(std::string_view text, std::string_view sub) {
  if (sub.empty() || text.empty()) return 0;
  std::string t = UpperCaseAscii(text);
  std::string s = UpperCaseAscii(sub);
  long count = 0;
  std::size_t p = t.find(s);
  while (p != std::string::npos) {
    ++count;
    p = t.find(s, p + s.size());
  }
  return count;
}

long CountPowerSigns(std::string_view text) { return CountChar(text, "^"); }

long DistanceToChar(std::string_view text, char ch, long from, bool forward) {
  if (from < 1) from = 1;
  if (forward) {
    for (long i = from; i <= Len(text); ++i)
      if (At(text, i) == ch) return i - from + 1;
  } else {
    for (long i = std::min(from, Len(text)); i >= 1; --i)
      if (At(text, i) == ch) return from - i + 1;
  }
  return -1;
}

long PositionOfNthChar(std::string_view text, char ch, long from, long n) {
  if (from < 1 || n < 1) {
    from = 1;
    n = 1;
  }
  long count = 0;
  for (long i = from; i <= Len(text); ++i) {
    if (At(text, i) == ch && ++count == n) return i;
  }
  return 0;
}

long PositionAfterNth(std::string_view text, char ch, long n) {
  long count = 0;
  for (long i = 1; i <= Len(text); ++i) {
    if (At(text, i) == ch && ++count == n + 1) return i;
  }
  return Len(text) + 1;
}

std::string CollectBetweenChars(std::string_view text, char openChar, char closeChar) {
  std::string result;
  std::size_t i = 0;
  while (true) {
    std::size_t po = text.find(openChar, i);
    if (po == std::string_view::npos) break;
    std::size_t pc = text.find(closeChar, po + 1);
    if (pc == std::string_view::npos) pc = text.size();
    result.append(text.substr(po + 1, pc - po - 1));
    result.push_back(';');
    if (pc >= text.size()) break;
    i = pc + 1;
  }
  if (!result.empty()) result.pop_back();
  return result;
}

// --- Character classes -----------------------------------------------------------------------

bool IsDigitsOnly(std::string_view text) { return NonEmptyAll(text, IsDigit); }

bool IsDigitsOrComma(std::string_view text) {
  return NonEmptyAll(text, [](char ch) { return IsDigit(ch) || ch == ','; });
}

bool IsNumberText(std::string_view text) {
  return NonEmptyAll(text, [](char ch) { return IsDigit(ch) || ch == ',' || ch == '-'; });
}

bool IsDigitsOrMinus(std::string_view text) {
  return NonEmptyAll(text, [](char ch) { return IsDigit(ch) || ch == '-'; });
}

bool IsSignedInteger(std::string_view text) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  return IsDigitsOnly(text);
}

bool IsAllPunctuation(std::string_view text) { return NonEmptyAll(text, IsPunctuationChar); }

bool IsDigitAt(std::string_view text, long pos) {
  return pos >= 1 && pos <= Len(text) && IsDigit(At(text, pos));
}

bool IsLetterAt(std::string_view text, long pos) {
  return pos >= 1 && pos <= Len(text) && IsAsciiLetter(At(text, pos));
}

bool IsTimesSignAt(std::string_view text, long pos) {
  char ch = At(text, pos);
  return pos >= 1 && pos <= Len(text) && (ch == 'X' || ch == 'x');
}

bool IsOperatorAt(std::string_view text, long pos) {
  return pos >= 1 && pos <= Len(text) && IsOperatorChar(At(text, pos));
}

bool IsBracketAt(std::string_view text, long pos) {
  return pos >= 1 && pos <= Len(text) && IsBracketChar(At(text, pos));
}

bool IsPowerSignAt(std::string_view text, long pos) {
  return pos >= 1 && pos <= Len(text) && At(text, pos) == '^';
}

bool ContainsBracket(std::string_view text) {
  for (char ch : text)
    if (IsBracketChar(ch)) return true;
  return false;
}

bool ContainsOperator(std::string_view text) {
  for (char ch : text)
    if (IsOperatorChar(ch)) return true;
  return false;
}

// --- Stripping and replacing -----------------------------------------------------------------

std::string RemoveSpaces(std::string_view text) {
  std::string result;
  for (char ch : text)
    if (ch != ' ') result.push_back(ch);
  return result;
}

std::string SqueezeChar(std::string_view text, char ch) {
  std::string result;
  for (char c : text)
    if (!(c == ch && !result.empty() && result.back() == ch)) result.push_back(c);
  return result;
}

std::string RemoveBetweenChars(std::string_view text, char openChar, char closeChar,
                               bool dropStrayClose) {
  // An opening character without a closing one drops the rest of the text.
  std::string result;
  bool inside = false;
  for (char ch : text) {
    if (inside) {
      if (ch == closeChar) inside = false;
    } else if (ch == openChar) {
      inside = true;
    } else if (!(dropStrayClose && ch == closeChar)) {
      result.push_back(ch);
    }
  }
  return result;
}

std::string RemovePunctuation(std::string_view text) {
  std::string result;
  for (char ch : text)
    if (!InSet(ch, "!#$*./:;<>?[\\]{}\"") && ch != kBrokenBar) result.push_back(ch);
  return result;
}

std::string ReplaceFirst(std::string_view text, std::string_view oldText,
                         std::string_view newText) {
  long p = PosOf(oldText, text);
  if (p == 0) return std::string(text);
  return InsertStr(DeleteStr(text, p, Len(oldText)), newText, p);
}

std::string ReplaceEach(std::string_view text, std::string_view targets, std::string_view newText) {
  std::string result(text);
  for (long i = 1; i <= 99; ++i) {
    std::string target = GetField(targets, ";", i);
    if (target.empty()) break;
    result = ReplaceAll(result, target, newText);
  }
  return result;
}

std::string ReplaceRun(std::string_view text, std::string_view insert, char delimChar, long from) {
  long end = from < 1 ? 1 : from;
  while (end <= Len(text) && At(text, end) != delimChar) ++end;
  return InsertStr(DeleteStr(text, from, end - from), insert, from);
}

std::string ReplaceInContext(std::string_view text, std::string_view find, std::string_view newText,
                             std::string_view left, std::string_view right) {
  if (find.empty()) return std::string(text);
  std::string result;
  std::size_t i = 0;  // next character of text not yet copied
  std::size_t from = 0;
  while (true) {
    std::size_t p = text.find(find, from);
    if (p == std::string_view::npos) break;
    bool leftOk =
        left.empty() || (p >= left.size() && text.substr(p - left.size(), left.size()) == left);
    std::size_t after = p + find.size();
    bool rightOk = right.empty() || text.substr(after, right.size()) == right;
    if (leftOk && rightOk) {
      result.append(text.substr(i, p - i));
      result.append(newText);
      i = after;
      from = after;
    } else {
      from = p + 1;
    }
  }
  result.append(text.substr(i));
  return result;
}

std::string DeleteThroughNth(std::string_view text, char ch, long n) {
  if (n < 1) return std::string(text);
  long count = 0;
  for (long i = 1; i <= Len(text); ++i) {
    if (At(text, i) == ch && ++count == n) return std::string(RestFrom(text, i + 1));
  }
  return {};
}

std::string CutAfterNth(std::string_view text, std::string_view marker, std::string_view terminator,
                        long n) {
  if (marker.empty() || n < 1) return std::string(text);
  std::size_t from = 0;
  std::size_t after = 0;
  for (long i = 1; i <= n; ++i) {
    std::size_t p = text.find(marker, from);
    if (p == std::string_view::npos) return std::string(text);
    after = p + marker.size();
    from = after;
  }
  std::size_t stop = text.size();
  if (!terminator.empty()) {
    std::size_t t = text.find(terminator, after);
    if (t != std::string_view::npos) stop = t;
  } else {
    stop = after;  // an empty terminator starts everywhere
  }
  std::string result(text.substr(0, after));
  result.append(text.substr(stop));
  return result;
}

std::string FillQuoted(std::string_view text, char quoteChar,
                       const std::vector<std::string>& values) {
  // A last quoteChar without a partner is no stretch and is copied with what follows it.
  std::string result;
  std::size_t next = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == quoteChar) {
      std::size_t close = text.find(quoteChar, i + 1);
      if (close == std::string_view::npos) {
        result.append(text.substr(i));
        break;
      }
      if (next < values.size()) result.append(values[next++]);
      i = close + 1;
    } else {
      result.push_back(text[i++]);
    }
  }
  return result;
}

std::string PadInto(std::string_view text, std::string_view value, long pos, std::string_view mode,
                    long width) {
  if (width < 0) width = 0;
  const std::size_t w = static_cast<std::size_t>(width);
  const bool right = mode == "Right";
  std::string_view cut = value;
  if (cut.size() > w) cut = right ? cut.substr(cut.size() - w) : cut.substr(0, w);
  std::string slot;
  if (right) {
    slot.assign(w - cut.size(), ' ');
    slot.append(cut);
  } else {
    slot.assign(cut);
    slot.append(w - cut.size(), ' ');
  }
  return InsertStr(DeleteStr(text, pos, width), slot, pos);
}

std::string FillLike(std::string_view text, char ch) { return std::string(text.size(), ch); }

std::string SpaceAround(std::string_view text, char ch, std::string_view pad) {
  std::string result;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (text[i] != ch) {
      result.push_back(text[i]);
      continue;
    }
    if (i > 0 && text[i - 1] != ' ') result.append(pad);
    result.push_back(ch);
    if (i + 1 < n && text[i + 1] != ' ') result.append(pad);
  }
  return result;
}

// --- Bracket-aware operations ----------------------------------------------------------------

int BracketDepthStep(char ch, int depth, std::string_view openings, std::string_view closings) {
  if (InSet(ch, openings)) return depth + 1;
  if (InSet(ch, closings)) return depth - 1;
  return depth;
}

std::string RemoveGroups(std::string_view text, std::string_view openings,
                         std::string_view closings) {
  std::string result;
  int depth = 0;
  for (char ch : text) {
    depth = BracketDepthStep(ch, depth, openings, closings);
    if (depth == 0 && !InSet(ch, closings)) result.push_back(ch);
  }
  return result;
}

std::string GroupContents(std::string_view text, std::string_view openings,
                          std::string_view closings) {
  std::string result;
  int depth = 0;
  for (char ch : text) {
    depth = BracketDepthStep(ch, depth, openings, closings);
    if (InSet(ch, openings)) continue;
    if (InSet(ch, closings)) {
      result.push_back(';');
    } else if (depth == 1) {
      result.push_back(ch);
    }
  }
  if (!result.empty() && result.back() == ';') result.pop_back();
  return result;
}

std::string ReplaceGroup(std::string_view text, std::string_view newText, char openChar,
                         char closeChar, long n) {
  // The group opened by the n-th openChar: its own characters (those directly inside it, not
  // inside a group nested in it) give way to newText, written once at the first of them.
  std::string result;
  int depth = 0;
  long opened = 0;
  int groupDepth = -1;  // depth inside the target group while it is open
  bool written = false;
  for (char ch : text) {
    if (ch == openChar) {
      ++depth;
      if (++opened == n) groupDepth = depth;
      result.push_back(ch);
    } else if (ch == closeChar) {
      if (depth == groupDepth) groupDepth = -1;
      --depth;
      result.push_back(ch);
    } else if (groupDepth > 0 && depth == groupDepth) {
      if (!written) result.append(newText);
      written = true;
    } else {
      result.push_back(ch);
    }
  }
  return result;
}

std::string WrapWords(std::string_view text, bool bracketAware, long minLength) {
  std::string result;
  std::string word;
  int depth = 0;
  bool inQuote = false;
  for (char ch : text) {
    if (ch != ' ' && !IsPunctuationChar(ch)) {
      word.push_back(ch);
      continue;
    }
    if (word.empty()) {
      result.push_back(ch);  // a lone delimiter
    } else if (bracketAware && (depth > 0 || inQuote || ch == '"' || IsBracketChar(ch))) {
      result.append(word);
      result.push_back(ch);
    } else {
      long length = static_cast<long>(word.size()) + (ch == ' ' ? 0 : 1);
      if (length >= minLength) {
        result.push_back('{');
        result.append(word);
        result.push_back('}');
      } else {
        result.append(word);
      }
      result.push_back(ch);
    }
    word.clear();
    if (ch == '(' || ch == '[') ++depth;
    if (ch == ')' || ch == ']') --depth;
    if (ch == '"') inQuote = !inQuote;
  }
  if (!word.empty()) {
    result.push_back('{');
    result.append(word);
    result.push_back('}');
  }
  return result;
}

// --- Key filters ------------------------------------------------------------------------------

char FilterNameKey(char ch, MessageBox& msgBox) {
  if (ch == 8 || ch == ' ' || ch == '-' || ch == '_' || IsDigit(ch) || IsAsciiLetter(ch)) return ch;
  msgBox.Warn("", "0..9 ; A..Z");
  return 0;
}

char FilterFieldKey(char ch, std::string_view currentText, long maxLength) {
  if (Len(currentText) > maxLength) return 8;
  if (InSet(ch, "\"'*/:<>?\\#;") || ch == kBrokenBar) return 0;
  return ch;
}

}  // namespace quillo
