// Answer fields of the practice editor's document. Every query scans only the bytes it needs
// (delimiters are unique bytes of the document's text), so a key press costs a local search.
#include "practice/field_model.h"

#include <algorithm>

#include "engine/text_toolkit.h"

namespace quillo {

namespace {

constexpr std::size_t kNone = std::string::npos;

// Last position < pos holding ch; -1 when none.
int LastBefore(const std::string& text, char ch, int pos) {
  if (pos <= 0) return -1;
  std::size_t at = text.rfind(ch, static_cast<std::size_t>(pos - 1));
  return at == kNone ? -1 : static_cast<int>(at);
}

// First position >= pos holding ch; -1 when none.
int FirstFrom(const std::string& text, char ch, int pos) {
  std::size_t at = text.find(ch, static_cast<std::size_t>(std::max(pos, 0)));
  return at == kNone ? -1 : static_cast<int>(at);
}

}  // namespace

CaretPlace LocateCaret(const SheetDocument& doc, int pos) {
  const std::string& text = doc.Text();
  CaretPlace place;
  pos = std::clamp(pos, 0, doc.Size());
  place.lastOpen = LastBefore(text, kFieldOpen, pos);
  place.lastClose = LastBefore(text, kFieldClose, pos);
  const int nextClose = FirstFrom(text, kFieldClose, pos);
  const int nextOpen = FirstFrom(text, kFieldOpen, pos);
  place.toClose = nextClose < 0 ? 0 : nextClose - pos + 1;
  place.toOpen = nextOpen < 0 ? 0 : nextOpen - pos + 1;
  place.atStart = pos > 0 && text[static_cast<std::size_t>(pos - 1)] == kFieldOpen;
  place.atEnd = pos < doc.Size() && text[static_cast<std::size_t>(pos)] == kFieldClose;
  const bool inside =
      (place.toClose > 0 && place.toOpen > place.toClose) || place.lastOpen > place.lastClose;
  // A field needs both its delimiters around the caret.
  if (inside && place.lastOpen >= 0 && nextClose >= 0) {
    place.inside = true;
    place.openPos = place.lastOpen;
    place.closePos = nextClose;
  }
  return place;
}

int FieldCount(const SheetDocument& doc) {
  return static_cast<int>(std::count(doc.Text().begin(), doc.Text().end(), kFieldOpen));
}

std::vector<std::string> FieldContents(const SheetDocument& doc) {
  const std::string& text = doc.Text();
  std::vector<std::string> contents;
  for (std::size_t open = text.find(kFieldOpen); open != kNone;) {
    std::size_t close = text.find(kFieldClose, open + 1);
    if (close == kNone) close = text.size();
    contents.push_back(Trim(std::string_view(text).substr(open + 1, close - open - 1)));
    if (close == text.size()) break;
    open = text.find(kFieldOpen, close + 1);
  }
  return contents;
}

FieldRef FieldAt(const SheetDocument& doc, int pos) {
  const std::string& text = doc.Text();
  pos = std::clamp(pos, 0, doc.Size());
  FieldRef ref;
  ref.index = static_cast<int>(std::count(text.begin(), text.begin() + pos, kFieldOpen)) - 1;
  ref.content = TextAround(text, kFieldOpen, kFieldClose, pos);
  return ref;
}

int NextFieldCaret(const SheetDocument& doc, int pos, bool fromStart) {
  const int open = FirstFrom(doc.Text(), kFieldOpen, fromStart ? 0 : pos);
  return open < 0 ? -1 : open + 1;
}

int PreviousFieldCaret(const SheetDocument& doc, int pos) {
  pos = std::clamp(pos, 0, doc.Size());
  const int close = LastBefore(doc.Text(), kFieldClose, pos - 1);
  if (close < 0) return -1;
  const int open = LastBefore(doc.Text(), kFieldOpen, close);
  return open < 0 ? -1 : open + 1;
}

int FieldCaret(const SheetDocument& doc, int k) {
  const FieldSpan span = FieldSpanOf(doc, k);
  return span.begin;
}

int NearestFieldCaret(const SheetDocument& doc, int pos) {
  const std::string& text = doc.Text();
  pos = std::clamp(pos, 0, doc.Size());
  const std::size_t from = static_cast<std::size_t>(std::max(pos - 5, 0));
  const std::size_t at = text.find_first_of("\x1E\x1F", from);
  if (at != kNone) return text[at] == kFieldOpen ? static_cast<int>(at) + 1 : static_cast<int>(at);
  const int close = LastBefore(text, kFieldClose, static_cast<int>(from));
  return close;
}

FieldSpan FieldSpanOf(const SheetDocument& doc, int k) {
  if (k < 0) return {};
  const std::string& text = doc.Text();
  std::size_t open = text.find(kFieldOpen);
  for (int n = 0; n < k && open != kNone; ++n) open = text.find(kFieldOpen, open + 1);
  if (open == kNone) return {};
  std::size_t close = text.find(kFieldClose, open + 1);
  if (close == kNone) return {};
  return {static_cast<int>(open) + 1, static_cast<int>(close)};
}

std::vector<FieldSpan> FieldSpans(const SheetDocument& doc) {
  const std::string& text = doc.Text();
  std::vector<FieldSpan> spans;
  for (std::size_t open = text.find(kFieldOpen); open != kNone;
       open = text.find(kFieldOpen, open + 1)) {
    const std::size_t close = text.find(kFieldClose, open + 1);
    if (close == kNone) break;
    spans.push_back({static_cast<int>(open) + 1, static_cast<int>(close)});
  }
  return spans;
}

char MapTypedCharacter(char ch) { return ch == '\xB4' ? '\'' : ch; }

bool IsTypeableCharacter(char ch) {
  if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z')) return true;
  static constexpr std::string_view kOthers =
      " '*+,-.<=>`"
      "\xB4\xC4\xD6\xE0\xE2\xE4\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\xF6\xF9\xFB\xFC";
  return kOthers.find(ch) != std::string_view::npos;
}

int ScrollAfterNextField(int caretLine, int lastVisibleLine) {
  return caretLine >= lastVisibleLine ? 2 : 0;
}

int ScrollAfterPreviousField(int caretLine, int firstVisibleLine) {
  return firstVisibleLine >= caretLine ? -1 : 0;
}

int ScrollCaretLineToTop(int caretLine, int firstVisibleLine) {
  return caretLine - firstVisibleLine;
}

}  // namespace quillo
