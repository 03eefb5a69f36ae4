#include "engine/fraction_layout.h"

#include <algorithm>
#include <climits>
#include <deque>

#include "engine/bracket_blocks.h"
#include "shell/seams.h"

namespace quillo {

namespace {

constexpr int kMaxCells = 1000000;  // widths and heights of records are kept below this

bool IsLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

std::string TrimSpaces(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

// The record number of a word "#k"; -1 for any other word.
int NameNumber(std::string_view word) {
  if (word.size() < 2 || word.size() > 8 || word[0] != '#') return -1;
  int value = 0;
  for (std::size_t i = 1; i < word.size(); ++i) {
    if (!IsDigit(word[i])) return -1;
    value = value * 10 + (word[i] - '0');
  }
  return value;
}

int Clamp(long long value) {
  return static_cast<int>(std::clamp<long long>(value, -kMaxCells, kMaxCells));
}

// The rows of a record above its bar line (above the middle of its text for a record without
// fractions), in pixels.
int AscentOf(const Ty_FractInLine& rec) {
  if (rec.numeratorHeight + rec.denominatorHeight > 0) return rec.numeratorHeight * kCellHeight;
  return kCellHeight / 2;
}

// ---------------------------------------------------------------------------------------------
// Layout pass

class Layout {
 public:
  Layout(FractionDrawing& drawing, char open, char close)
      : d_(drawing), open_(open), close_(close) {}

  // The record of a group's inner text (or of the whole description).
  void AddRecord(std::string_view inner) {
    std::string text(inner);
    for (char& ch : text) {
      if (ch == open_ || ch == close_) ch = ' ';
    }
    Ty_FractInLine rec;
    rec.name = "#" + std::to_string(d_.records.size());
    rec.text = TrimSpaces(text);
    FractionParts parts;
    if (SplitFractionText(rec.text, parts)) {
      rec.fraction = true;
      Measure(parts.numerator, rec.numeratorWidth, rec.numeratorHeight);
      if (parts.denominator.empty()) {
        rec.denominatorWidth = 0;
        rec.denominatorHeight = 1;
      } else {
        Measure(parts.denominator, rec.denominatorWidth, rec.denominatorHeight);
      }
      long long around = 0;
      for (const std::string& w : parts.prefix) around += SideWidth(w);
      for (const std::string& w : parts.suffix) around += SideWidth(w);
      rec.prefixSuffixWidth = Clamp(around);
      rec.width = Clamp(static_cast<long long>(std::max(rec.numeratorWidth,
                                                        rec.denominatorWidth)) +
                        around);
      rec.height = Clamp(static_cast<long long>(rec.numeratorHeight) + rec.denominatorHeight);
    } else {
      std::vector<std::string> words = Words(rec.text);
      long long width = 0;
      int maxNum = 0, maxDen = 0;
      bool fractionParts = false;
      for (const std::string& w : words) {
        int k = Claim(w);
        if (k < 0) {
          width += DrawnWidth(w);
          continue;
        }
        const Ty_FractInLine& part = d_.records[k];
        width += part.width;
        if (part.numeratorHeight + part.denominatorHeight > 0) {
          fractionParts = true;
          maxNum = std::max(maxNum, part.numeratorHeight);
          maxDen = std::max(maxDen, part.denominatorHeight);
        }
      }
      rec.width = Clamp(width);
      rec.numeratorHeight = maxNum;
      rec.denominatorHeight = maxDen;
      rec.height = fractionParts ? Clamp(static_cast<long long>(maxNum) + maxDen) : 1;
      if (words.size() > 1) rec.text += " $";
    }
    d_.records.push_back(std::move(rec));
    claimed_.push_back(false);
  }

 private:
  // A name refers to a record made before and not yet used by another record; each group's
  // name stands in exactly one place, so a name written into the description by hand can
  // neither loop nor multiply.
  int Claim(std::string_view word) {
    int k = NameNumber(word);
    if (k < 0 || k >= static_cast<int>(d_.records.size()) || claimed_[k]) return -1;
    claimed_[k] = true;
    return k;
  }

  void Measure(std::string_view word, int& width, int& height) {
    int k = Claim(word);
    if (k < 0) {
      width = DrawnWidth(word);
      height = 1;
    } else {
      width = d_.records[k].width;
      height = d_.records[k].height;
    }
  }

  int SideWidth(std::string_view word) {
    int k = Claim(word);
    return k < 0 ? DrawnWidth(word) : d_.records[k].width;
  }

  FractionDrawing& d_;
  char open_;
  char close_;
  std::vector<bool> claimed_;
};

std::size_t NthOpening(std::string_view text, char open, int k) {
  int seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == open && ++seen == k) return i;
  }
  return std::string_view::npos;
}

std::size_t BalancingClose(std::string_view text, std::size_t at, char open, char close) {
  int depth = 0;
  for (std::size_t i = at; i < text.size(); ++i) {
    if (text[i] == open) ++depth;
    if (text[i] == close && --depth == 0) return i;
  }
  return std::string_view::npos;
}

// True when the inner text holds groups and none of them holds a further group: counting +1
// for an opening delimiter that stands first or follows a closing one and -1 for every closing
// delimiter gives 0.
bool Reducible(std::string_view inner, char open, char close) {
  bool groups = false;
  int total = 0;
  char previous = 0;
  for (char ch : inner) {
    if (ch == open) {
      groups = true;
      if (previous != open) ++total;
      previous = open;
    } else if (ch == close) {
      --total;
      previous = close;
    }
  }
  return groups && total == 0;
}

bool Balanced(std::string_view text, char open, char close) {
  int depth = 0;
  for (char ch : text) {
    if (ch == open) ++depth;
    if (ch == close && --depth < 0) return false;
  }
  return depth == 0;
}

// ---------------------------------------------------------------------------------------------
// Placement pass

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  bool Empty() const { return left > right; }
  void Add(int x, int y, int w, int h) {
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x + w);
    bottom = std::max(bottom, y + h);
  }
};

class Placer {
 public:
  Placer(FractionDrawing& drawing, MessageBox& msgBox) : d_(drawing), tracker_(msgBox) {}

  void Run() {
    const int n = static_cast<int>(d_.records.size());
    if (n == 0) return;
    plans_.assign(n, {});
    cursor_.assign(n, 0);
    depth_.assign(n, 0);
    planned_.assign(n, false);
    placed_.assign(n, 0);
    int cur = n - 1;
    planned_[cur] = true;
    Enter(cur, 0, 0);
    for (int step = 0; step < kPassLimit; ++step) {
      if (plans_[cur].empty()) {
        if (stackRecords_.empty()) break;
        cur = stackRecords_.back();
        stackRecords_.pop_back();
        stack_.pop_back();
        continue;
      }
      Item item = plans_[cur].front();
      plans_[cur].pop_front();
      const int x = cursor_[cur] + item.dx;
      d_.trace += "\r\n" + item.word + ",     X=" + std::to_string(x) +
                  " ; Y=" + std::to_string(item.y);
      if (++placed_[cur] == 2) d_.records[cur].status2 = "dec2";
      int end = x;
      switch (item.kind) {
        case Item::kPlain:
          end = PlaceText(item.word, x, item.y);
          break;
        case Item::kBar: {
          // A fraction inside the numerator or denominator of another has a shorter bar, so the
          // main bar stands out.
          const int inset = std::min(depth_[cur], std::max(0, (item.length - 5) / 2));
          d_.entries.push_back({"\\", x + inset, item.y, x + item.length - inset, item.y});
          break;
        }
        case Item::kName:
          end = x + d_.records[item.child].width * kCellWidth;
          break;
      }
      cursor_[cur] = item.flows ? end : cursor_[cur] + item.advance;
      if (item.kind == Item::kName) {
        stack_.push_back({d_.records[cur].name, x, item.y});
        stackRecords_.push_back(cur);
        depth_[item.child] = depth_[cur] + (item.flows ? 0 : 1);
        cur = item.child;
        Enter(cur, x, item.y);
      }
    }
    // An operand left open at the end reaches to the end of the drawing.
    while (!pending_.empty()) {
      Pending p = pending_.back();
      pending_.pop_back();
      if (p.kind == 's') CloseSymbol(p);
    }
  }

 private:
  // One part of a record. Its x is the record's cursor (where the part before it ended) plus dx;
  // a part that follows the text flow moves the cursor to its own end, the last part of a
  // fraction's body moves it past the body.
  struct Item {
    enum Kind { kPlain, kBar, kName } kind;
    std::string word;
    int dx = 0;
    int y = 0;  // top of the cell row of a plain word, top of a record's box
    int child = -1;
    bool flows = true;
    int advance = 0;  // for a part that does not flow: how far the cursor moves after it
    int length = 0;   // a bar's length
  };
  // An operator operand ('s') or a bracket ('(' or '[') whose closing is still to come.
  struct Pending {
    char kind;
    std::size_t entry;
    int startX;
    std::size_t firstEntry;
  };

  // The record number of a name word usable as a part of record r.
  int ChildOf(int r, std::string_view word) const {
    int k = NameNumber(word);
    if (k < 0 || k >= r || planned_[k]) return -1;
    return k;
  }

  // A word of the text flow whose text is centred on the line at axisY.
  void AddOnAxis(int r, const std::string& word, int axisY) {
    int k = ChildOf(r, word);
    if (k < 0) {
      plans_[r].push_back({Item::kPlain, word, 0, axisY - kCellHeight / 2});
    } else {
      planned_[k] = true;
      plans_[r].push_back({Item::kName, word, 0, axisY - AscentOf(d_.records[k]), k});
    }
  }

  // A part of a fraction's body whose box starts at top, dx right of the body's start.
  void AddInBox(int r, const std::string& word, int dx, int top, int advance) {
    int k = ChildOf(r, word);
    if (k >= 0) planned_[k] = true;
    plans_[r].push_back(
        {k < 0 ? Item::kPlain : Item::kName, word, dx, top, k, false, advance});
  }

  // Aligns the parts of record r placed with its box at (ox, oy).
  void Enter(int r, int ox, int oy) {
    Ty_FractInLine& rec = d_.records[r];
    rec.status1 = "oK";
    rec.rowOffset = oy / kCellHeight;
    cursor_[r] = ox;
    FractionParts parts;
    if (rec.fraction && SplitFractionText(rec.text, parts)) {
      const int barY = oy + rec.numeratorHeight * kCellHeight;
      for (const std::string& w : parts.prefix) AddOnAxis(r, w, barY);
      const int body = std::max(rec.numeratorWidth, rec.denominatorWidth) * kCellWidth;
      const bool denominator = !parts.denominator.empty();
      // The narrower of numerator and denominator is centred on the bar.
      AddInBox(r, parts.numerator, (body - rec.numeratorWidth * kCellWidth) / 2,
               barY - rec.numeratorHeight * kCellHeight, 0);
      plans_[r].push_back({Item::kBar, "\\", 0, barY, -1, false, denominator ? 0 : body, body});
      if (denominator) {
        AddInBox(r, parts.denominator, (body - rec.denominatorWidth * kCellWidth) / 2, barY,
                 body);
      }
      for (const std::string& w : parts.suffix) AddOnAxis(r, w, barY);
      return;
    }
    std::string_view text = rec.text;
    if (text.size() >= 2 && text.substr(text.size() - 2) == " $") text.remove_suffix(2);
    const int axisY = oy + AscentOf(rec);
    for (const std::string& w : Words(text)) AddOnAxis(r, w, axisY);
  }

  void Emit(char ch, int x, int y) {
    d_.entries.push_back({std::string(1, ch), x, y, kCellWidth, kCellHeight});
  }

  // The pixels covered by the entries from first to the end.
  Box BoxFrom(std::size_t first) const {
    Box box;
    for (std::size_t i = first; i < d_.entries.size(); ++i) {
      const Ty_DrawCoorF& e = d_.entries[i];
      if (e.text == "^") continue;
      if (e.text == "\\") {
        box.Add(e.x, e.y, e.w - e.x, 0);
      } else if (IsSymbolOperator(e.text)) {
        box.Add(e.x, e.y + 2, e.w == -255 ? kCellWidth : e.w, e.h);
      } else {
        box.Add(e.x, e.y, e.w, e.h);
      }
    }
    return box;
  }

  // Stretches an operator's symbol over the entries of its operand.
  void CloseSymbol(const Pending& p) {
    Box box = BoxFrom(p.firstEntry);
    Ty_DrawCoorF& symbol = d_.entries[p.entry];
    if (box.Empty()) {
      box.Add(p.startX, symbol.y + 2, 0, kCellHeight);
    }
    const int top = box.top;
    const int height = box.bottom - box.top;
    symbol.y = top - 2;
    symbol.h = height;
    int row = OperatorRowOf(symbol.text);
    if (row >= 0 && std::string_view(TOperateur[row].kind) == "YA") {
      // A root's bar runs one pixel below the top of its operand, clear of a fraction bar just
      // above it.
      symbol.y = top - 1;
      const int cells = std::max(0, (box.right - p.startX + kCellWidth - 1) / kCellWidth);
      std::vector<Ty_DrawCoorF> continuation;
      for (int c = 0; c < cells; ++c) {
        continuation.push_back(
            {symbol.text + "1", p.startX + c * kCellWidth, top - 1, -255, height});
      }
      d_.entries.insert(d_.entries.begin() + static_cast<std::ptrdiff_t>(p.entry) + 1,
                        continuation.begin(), continuation.end());
    } else {
      symbol.w = std::max(0, box.right - symbol.x);
    }
  }

  // Closes the innermost open "(" (an operand or a bracket) or "["; a closing bracket without
  // its opening one is drawn as it stands.
  void CloseBracket(char closing, int& x, int y) {
    for (std::size_t i = pending_.size(); i-- > 0;) {
      const Pending p = pending_[i];
      bool matches = closing == ')' ? (p.kind == 's' || p.kind == '(') : p.kind == '[';
      if (!matches) continue;
      pending_.resize(i);
      if (p.kind == 's') {
        CloseSymbol(p);
        return;
      }
      Box box = BoxFrom(p.firstEntry);
      Ty_DrawCoorF& open = d_.entries[p.entry];
      int top = open.y;
      int height = kCellHeight;
      if (!box.Empty()) {
        top = std::min(top, box.top);
        height = std::max(kCellHeight, std::max(box.bottom, open.y + kCellHeight) - top);
      }
      open.y = top;
      open.h = height;
      d_.entries.push_back({std::string(1, closing), x, top, kCellWidth, height});
      x += kCellWidth;
      return;
    }
    Emit(closing, x, y);
    x += kCellWidth;
  }

  // Turns the characters of a plain word, written from (x, y), into entries; returns where the
  // word ends.
  int PlaceText(const std::string& word, int x, int y) {
    std::size_t i = 0;
    const std::size_t n = word.size();
    while (i < n) {
      const char ch = word[i];
      if (IsLetter(ch)) {
        std::size_t j = i;
        while (j < n && IsLetter(word[j])) ++j;
        std::string run = word.substr(i, j - i);
        if (j < n && word[j] == '(' && IsSymbolOperator(run)) {
          for (char c : run) tracker_.TrackBracketBlock(c);
          tracker_.TrackBracketBlock('(');
          const TOperateurRow& op = TOperateur[OperatorRowOf(run)];
          std::size_t entry = d_.entries.size();
          const bool continued = std::string_view(op.kind) == "YA";
          d_.entries.push_back(
              {op.name, x, y - 2, continued ? op.overlap * kCellWidth : 0, kCellHeight});
          // The name with its brackets takes the columns its written form has less the
          // operator's columns: the root keeps one column for its hook.
          const int own = static_cast<int>(run.size()) + 2 - (op.columns - op.overlap);
          x += std::max(0, own) * kCellWidth;
          pending_.push_back({'s', entry, x, d_.entries.size()});
          i = j + 1;
          continue;
        }
        for (char c : run) {
          tracker_.TrackBracketBlock(c);
          Emit(c, x, y);
          x += kCellWidth;
        }
        i = j;
        continue;
      }
      tracker_.TrackBracketBlock(ch);
      switch (ch) {
        case '(':
        case '[':
          pending_.push_back({ch, d_.entries.size(), x, d_.entries.size() + 1});
          Emit(ch, x, y);
          x += kCellWidth;
          break;
        case ')':
        case ']':
          CloseBracket(ch, x, y);
          break;
        case '^': {
          std::size_t j = i + 1;
          while (j < n && IsDigit(word[j])) ++j;
          // After a stretched closing bracket the exponent stands at the bracket's top.
          int top = y;
          const Ty_DrawCoorF& before = d_.entries.back();
          if ((before.text == ")" || before.text == "]") && before.x + kCellWidth == x) {
            top = std::min(top, before.y);
          }
          d_.entries.push_back({"^", -21, -21, static_cast<int>(j - i - 1), 0});
          for (std::size_t k = i + 1; k < j; ++k) {
            tracker_.TrackBracketBlock(word[k]);
            Emit(word[k], x, top);
            x += kCellWidth;
          }
          i = j;
          continue;
        }
        case '\\':
          // A bar outside a fraction: one cell wide, in the middle of the row.
          d_.entries.push_back({"\\", x, y + kCellHeight / 2, x + kCellWidth,
                                y + kCellHeight / 2});
          x += kCellWidth;
          break;
        default:
          Emit(ch, x, y);
          x += kCellWidth;
          break;
      }
      ++i;
    }
    return x;
  }

  FractionDrawing& d_;
  BracketBlockTracker tracker_;
  std::vector<std::deque<Item>> plans_;
  std::vector<int> cursor_;
  std::vector<int> depth_;  // how many fraction bodies hold the record
  std::vector<bool> planned_;
  std::vector<int> placed_;
  std::vector<Ty_SeeBackInLine> stack_;
  std::vector<int> stackRecords_;
  std::vector<Pending> pending_;
};

}  // namespace

bool SplitFractionText(std::string_view text, FractionParts& parts) {
  parts = {};
  std::size_t bar = text.find('\\');
  if (bar == std::string_view::npos) return false;
  std::vector<std::string> before = Words(text.substr(0, bar));
  if (before.empty()) return false;
  std::vector<std::string> after = Words(text.substr(bar + 1));
  parts.numerator = before.back();
  before.pop_back();
  parts.prefix = std::move(before);
  if (!after.empty()) {
    parts.denominator = after.front();
    parts.suffix.assign(after.begin() + 1, after.end());
  }
  return true;
}

void LayoutPass(std::string_view description, FractionDrawing& drawing, MessageBox& msgBox) {
  drawing.records.clear();
  drawing.entries.assign(1, {"~", 35, 70, 0, 0});
  drawing.trace.clear();
  char open = '<', close = '>';
  if (!description.empty() && description[0] == '{') open = '{', close = '}';
  if (!description.empty() && description[0] == '[') open = '[', close = ']';
  if (!Balanced(description, open, close)) msgBox.Warn("", kBracketMessage);

  Layout layout(drawing, open, close);
  std::string text(description);
  int k = 1;
  for (int step = 0; step < kPassLimit; ++step) {
    std::size_t at = NthOpening(text, open, k);
    if (at == std::string::npos) break;
    // A group whose closing delimiter is missing runs to the end of the description.
    std::size_t end = BalancingClose(text, at, open, close);
    std::size_t innerLength = (end == std::string::npos ? text.size() : end) - at - 1;
    std::string inner = text.substr(at + 1, innerLength);
    if (Reducible(inner, open, close)) {
      std::string name = "#" + std::to_string(drawing.records.size());
      layout.AddRecord(inner);
      std::string rest = end == std::string::npos ? "" : text.substr(end + 1);
      text = text.substr(0, at + 1) + name + close + rest;
      k = 1;
    } else {
      ++k;
      if (text.find('\\') == std::string::npos) break;
    }
  }
  layout.AddRecord(text);
}

void PlacementPass(FractionDrawing& drawing, MessageBox& msgBox) {
  drawing.entries.assign(1, {"~", 35, 70, 0, 0});
  drawing.trace.clear();
  for (Ty_FractInLine& rec : drawing.records) {
    rec.status1.clear();
    rec.status2.clear();
  }
  Placer(drawing, msgBox).Run();
}

FractionDrawing DrawExpression(std::string_view description, MessageBox& msgBox) {
  std::string text;
  for (char ch : description) {
    if (ch != ' ') text += ch;
  }
  FractionDrawing drawing;
  LayoutPass(text, drawing, msgBox);
  PlacementPass(drawing, msgBox);
  return drawing;
}

void FreeExpression(FractionDrawing& drawing) {
  drawing.records.clear();
  drawing.entries.clear();
  drawing.trace.clear();
}

}  // namespace quillo
