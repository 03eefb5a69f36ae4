#include "engine/bracket_blocks.h"

#include "shell/seams.h"

namespace quillo {

const TOperateurRow TOperateur[kOperatorRows] = {
    {"", 0, 0, "N"},      {"^", 1, 0, "Y"},   {"sqrt", 6, 1, "YA"},
    {"sqrt1", 6, 1, "A"}, {"cos", 0, 0, "N"}, {"log", 0, 0, "N"},
    {"tan", 0, 0, "N"},   {"del", 5, 0, "Y"}, {"ceil", 0, 0, "N"},
};

namespace {

char LowerAscii(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + 32) : ch; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Non-overlapping occurrences of a non-empty sub in text, in any letter case.
int CountNoCase(std::string_view text, std::string_view sub) {
  if (sub.empty() || sub.size() > text.size()) return 0;
  int count = 0;
  std::size_t i = 0;
  while (i + sub.size() <= text.size()) {
    if (EqualsNoCase(text.substr(i, sub.size()), sub)) {
      ++count;
      i += sub.size();
    } else {
      ++i;
    }
  }
  return count;
}

bool IsLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

}  // namespace

int OperatorRowOf(std::string_view name) {
  for (int row = 0; row < kOperatorRows; ++row) {
    if (EqualsNoCase(TOperateur[row].name, name)) return row;
  }
  return -1;
}

std::string FindOperator(std::string_view name, MessageBox& msgBox) {
  int row = OperatorRowOf(name);
  if (row < 0) {
    msgBox.Warn("", kUnknownOperatorMessage);
    return "";
  }
  const TOperateurRow& r = TOperateur[row];
  return std::string(r.name) + ";" + std::to_string(r.columns) + ";" +
         std::to_string(r.overlap) + ";" + r.kind;
}

bool IsSymbolOperator(std::string_view name) {
  int row = OperatorRowOf(name);
  if (row < 0 || name.size() < 3) return false;
  const TOperateurRow& r = TOperateur[row];
  return r.columns > 0 && (r.kind[0] == 'Y' || r.kind[0] == 'A');
}

std::vector<TyOpeCodeFund> OperatorsIn(std::string_view text) {
  std::vector<TyOpeCodeFund> found;
  for (int row = 1; row < kOperatorRows; ++row) {
    const TOperateurRow& r = TOperateur[row];
    int occurrences = CountNoCase(text, r.name);
    if (occurrences > 0) found.push_back({r.name, (r.columns - r.overlap) * occurrences});
  }
  return found;
}

int WidthAdjustment(std::string_view text) {
  int total = 0;
  for (const TyOpeCodeFund& op : OperatorsIn(text)) total += op.width;
  return total;
}

int DrawnWidth(std::string_view text) {
  return static_cast<int>(text.size()) - WidthAdjustment(text);
}

std::string BracketBlockTracker::PendingName() const {
  if (blocks_.empty() || !blocks_.back().collecting) return "";
  return blocks_.back().name;
}

std::string BracketBlockTracker::TrackBracketBlock(char ch) {
  int openY = blocks_.empty() ? 0 : blocks_.back().openY;
  if (IsLetter(ch)) {
    if (blocks_.empty() || !blocks_.back().collecting) {
      blocks_.push_back({std::string(1, ch), 0, true, openY, false, false});
    } else {
      blocks_.back().name += ch;
    }
    for (Ty_OpeParentheseBlock& b : blocks_) ++b.count;
    return "F;0;";
  }

  if (ch == '(') {
    if (!blocks_.empty() && blocks_.back().collecting) {
      Ty_OpeParentheseBlock& named = blocks_.back();
      named.collecting = false;
      std::string row = FindOperator(named.name, msgBox_);
      std::size_t kindAt = row.rfind(';');
      if (kindAt != std::string::npos && row.compare(kindAt + 1, 1, "Y") == 0) {
        named.yKind = true;
        named.openY = ++openY;
      }
    }
    blocks_.push_back({"", 0, false, openY, true, false});
    for (Ty_OpeParentheseBlock& b : blocks_) ++b.count;
    return "F;0;";
  }

  // Any other character ends a name being collected: letters not followed by "(" are a plain
  // word, not an operator.
  if (!blocks_.empty() && blocks_.back().collecting) blocks_.pop_back();
  for (Ty_OpeParentheseBlock& b : blocks_) ++b.count;
  if (ch != ')') return "F;0;";

  if (blocks_.empty() || !blocks_.back().bracket) {
    msgBox_.Warn("", kBracketMessage);
    return "F;0;";
  }
  int count = blocks_.back().count - 2;
  blocks_.pop_back();
  if (!blocks_.empty() && !blocks_.back().bracket) {
    // The operator's name block ends with its operand.
    Ty_OpeParentheseBlock named = blocks_.back();
    blocks_.pop_back();
    if (named.yKind) {
      int row = OperatorRowOf(named.name);
      int adjustment = row < 0 ? 0 : TOperateur[row].columns - TOperateur[row].overlap;
      for (Ty_OpeParentheseBlock& b : blocks_) b.count -= adjustment;
      return "T;" + std::to_string(count) + ";" + named.name;
    }
  }
  return "F;" + std::to_string(count) + ";";
}

}  // namespace quillo
