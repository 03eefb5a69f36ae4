// Result and revision files of a practice run.
#include "practice/result_files.h"

#include <algorithm>
#include <cstdio>

#include "books/scramble.h"
#include "engine/text_toolkit.h"
#include "practice/sheet_render.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {

namespace {

constexpr char kPathSep = '\xA6';

bool IsWholeNumber(std::string_view text) {
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int64_t> NonNegative(std::string_view text) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  std::optional<int64_t> value = TryTextToInt(text);
  if (!value || *value < 0) return std::nullopt;
  return value;
}

std::string RemoveFieldMarks(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char ch : line)
    if (ch != kFieldOpen && ch != kFieldClose) out.push_back(ch);
  return out;
}

ResultReading Damaged(ResultReading reading, std::string problem) {
  reading.outcome = ResultReading::Outcome::Damaged;
  reading.problem = std::move(problem);
  return reading;
}

}  // namespace

// --- Line encoding ---------------------------------------------------------------------------

LineEncoding LineEncoding::ForRawHeader(const Context& ctx, std::string_view rawHeader) {
  if (!IsScrambled(rawHeader)) return {};
  return WithKey(true, LoadScrambleKey(ctx.folders.programSettingsDir));
}

LineEncoding LineEncoding::WithKey(bool scrambled, std::string keyDigits) {
  LineEncoding encoding;
  encoding.scrambled_ = scrambled;
  encoding.key_ = std::move(keyDigits);
  return encoding;
}

std::string LineEncoding::Encode(std::string_view line) const {
  return ScrambleLine(line, scrambled_, key_);
}

std::string LineEncoding::Decode(std::string_view line) const {
  return UnscrambleLine(line, scrambled_, key_);
}

std::vector<std::string> WholeLines(std::string_view content) {
  std::vector<std::string> lines;
  if (content.empty()) return lines;
  lines = SplitAll('\n', content);
  if (lines.back().empty()) lines.pop_back();
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

void WriteEncodedLines(std::string_view path, const std::vector<std::string>& lines,
                       const LineEncoding& encoding) {
  std::string data;
  for (const std::string& line : lines) {
    data += encoding.Encode(line);
    data += "\r\n";
  }
  EnsureFolder(GetFolderPart(path));
  WriteFileAtomic(path, data);
}

std::string Wrapped(std::string_view text) { return "#[" + std::string(text) + "]"; }

std::optional<std::string> Unwrapped(std::string_view line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 3 || trimmed.compare(0, 2, "#[") != 0 || trimmed.back() != ']')
    return std::nullopt;
  return trimmed.substr(2, trimmed.size() - 3);
}

std::vector<std::string> SplitAnswers(std::string_view text) { return SplitAll(';', text); }

// --- Status line -----------------------------------------------------------------------------

std::string SheetStatus::Line() const {
  return Wrapped(std::to_string(tally.empty) + "/" + std::to_string(tally.right) + "/" +
                 std::to_string(tally.total) + "/" + faults + ";" + kind + ";" +
                 std::to_string(seconds) + ";" + std::to_string(attempt));
}

std::optional<SheetStatus> SheetStatus::Parse(std::string_view line) {
  const std::optional<std::string> inner = Unwrapped(line);
  if (!inner) return std::nullopt;
  const std::vector<std::string> parts = SplitAll(';', *inner);
  if (parts.size() != 4) return std::nullopt;
  const std::vector<std::string> counts = SplitAll('/', parts[0]);
  if (counts.size() != 4) return std::nullopt;
  SheetStatus status;
  const auto e = NonNegative(counts[0]), r = NonNegative(counts[1]), t = NonNegative(counts[2]);
  const auto seconds = NonNegative(parts[2]), attempt = NonNegative(parts[3]);
  if (!e || !r || !t || !seconds || !attempt) return std::nullopt;
  if (*e > *t || *r > *t || *t > 1000000) return std::nullopt;
  status.tally = {static_cast<int>(*e), static_cast<int>(*r), static_cast<int>(*t)};
  if (!IsWholeNumber(counts[3]) || counts[3].size() > kFaultsTextLimit) return std::nullopt;
  status.faults = counts[3];
  if (parts[1].size() != 1 || std::string_view("sprSRX").find(parts[1][0]) == std::string::npos)
    return std::nullopt;
  status.kind = parts[1];
  status.seconds = *seconds;
  status.attempt = *attempt;
  return status;
}

// --- Names, faults, histories ----------------------------------------------------------------

std::string UniqueResultName(std::string_view userFolder, std::string_view sheetPath) {
  return FreeResultName(userFolder, BaseName(sheetPath));
}

std::string FreeResultName(std::string_view userFolder, std::string_view baseName) {
  const std::string folder = WithSlash(userFolder);
  const std::string base(baseName);
  auto taken = [&](const std::string& name) {
    return FileExists(folder + name + std::string(kResultExtension)) ||
           FileExists(folder + name + std::string(kRevisionExtension));
  };
  if (!taken(base)) return base;
  for (long n = 1; n < 10000000; ++n) {
    char number[16];
    std::snprintf(number, sizeof number, "%02ld", n);
    std::string candidate = base + " #" + number;
    if (!taken(candidate)) return candidate;
  }
  throw Error("Error: no free result name for " + base);
}

std::string FirstTryFaults(const std::vector<std::string>& histories,
                           const std::vector<TG_EdRTrue>& expected) {
  long rightFirst = 0;
  for (std::size_t k = 0; k < histories.size(); ++k) {
    const std::string history = Trim(histories[k]);
    if (history.empty()) return "-1";
    if (history.find(kHistorySeparator) == std::string::npos && k < expected.size() &&
        history == Trim(expected[k].Expected))
      ++rightFirst;
  }
  return std::to_string(static_cast<long>(histories.size()) - rightFirst);
}

std::string KeepLastEntries(std::string_view history, std::size_t limit) {
  std::vector<std::string> entries = HistoryEntries(history);
  if (entries.size() <= limit) return std::string(history);
  entries.erase(entries.begin(), entries.end() - static_cast<std::ptrdiff_t>(limit));
  return JoinWith(entries, std::string(1, kHistorySeparator));
}

// --- Result file -----------------------------------------------------------------------------

std::vector<std::string> ResultFileLines(const ResultContent& content) {
  std::vector<std::string> lines;
  lines.reserve(6 + content.questionLines.size());
  lines.push_back(content.header);
  lines.push_back(content.status.Line());
  const std::string sep(1, kPathSep);
  lines.push_back(Wrapped(content.sheetPath + sep + content.book + sep + content.level));
  lines.push_back(Wrapped(JoinFields(content.expected)));
  lines.push_back(Wrapped(JoinFields(content.histories)));
  lines.push_back(Wrapped(JoinFields(content.wordBank)));
  lines.insert(lines.end(), content.questionLines.begin(), content.questionLines.end());
  return lines;
}

int CountFields(const std::vector<std::string>& questionLines) {
  int count = 0;
  for (const std::string& line : questionLines) count += static_cast<int>(LineAnswers(line).size());
  return count;
}

// --- Revision --------------------------------------------------------------------------------

std::vector<int> RevisionFields(const std::vector<std::string>& histories,
                                const std::vector<std::string>& expected, int revFromNo) {
  std::vector<int> selected;
  if (revFromNo < 1) return selected;
  const std::size_t v = static_cast<std::size_t>(revFromNo);
  for (std::size_t k = 0; k < histories.size(); ++k) {
    const std::vector<std::string> entries = HistoryEntries(histories[k]);
    if (entries.size() < v) continue;
    const std::string& expectedAnswer = k < expected.size() ? expected[k] : std::string();
    if (entries[v - 1] != expectedAnswer) selected.push_back(static_cast<int>(k));
  }
  return selected;
}

std::optional<std::vector<std::string>> RevisionFileLines(const ResultContent& source,
                                                          const std::vector<int>& selected,
                                                          TraceLog& trace) {
  if (selected.empty()) return std::nullopt;
  const int lastSelected = *std::max_element(selected.begin(), selected.end());
  const int total = CountFields(source.questionLines);
  const bool bankPerField = static_cast<int>(source.wordBank.size()) == total;

  std::vector<std::string> taken, expected, bank;
  int field = 0;
  for (const std::string& line : source.questionLines) {
    if (field > lastSelected) break;
    const int n = static_cast<int>(LineAnswers(line).size());
    if (n == 0) {
      taken.push_back(RemoveFieldMarks(line));
      continue;
    }
    const bool holdsSelected = std::any_of(selected.begin(), selected.end(),
                                           [&](int k) { return k >= field && k < field + n; });
    if (holdsSelected) {
      taken.push_back(RemoveFieldMarks(line));
      for (int k = field; k < field + n; ++k) {
        const std::size_t at = static_cast<std::size_t>(k);
        expected.push_back(at < source.expected.size() ? source.expected[at] : std::string());
        if (bankPerField) bank.push_back(source.wordBank[at]);
      }
    }
    field += n;
  }
  if (expected.empty()) {
    trace.Trace("Error: 7298glo32  ars_RefaireSesQst ; Empty!");
    return std::nullopt;
  }

  // "[n] Revision..." counts the revisions: a first line whose bracketed text is a number gets
  // the next number, any other sheet gets the first title.
  bool numbered = false;
  const std::string groups = GroupContents(taken.front(), "[", "]");
  if (IsDigitsOnly(groups) && !groups.empty()) {
    if (std::optional<int64_t> n = TryTextToInt(groups); n && *n < INT64_MAX) {
      taken.front() = ReplaceGroup(taken.front(), std::to_string(*n + 1), '[', ']', 1);
      numbered = true;
    }
  }

  const std::string n = std::to_string(expected.size());
  const std::string sep(1, kPathSep);
  std::vector<std::string> lines;
  lines.push_back(source.header);
  lines.push_back(Wrapped("1/0/" + n + "/-1;r;0;0"));
  lines.push_back(Wrapped("param supl" + sep + source.book + sep + source.level));
  lines.push_back(Wrapped(JoinFields(expected)));
  lines.push_back(Wrapped(SeparatorRun(static_cast<long>(expected.size()) - 1)));
  lines.push_back(Wrapped(JoinFields(bank)));
  if (!numbered) lines.push_back("[1] Revision...");
  lines.insert(lines.end(), taken.begin(), taken.end());
  return lines;
}

// --- Reading back ----------------------------------------------------------------------------

ResultReading ReadResultFile(const Context& ctx, std::string_view path) {
  ResultReading reading;
  std::string data;
  if (!ReadWholeFile(path, data)) return reading;
  std::vector<std::string> lines = WholeLines(data);
  const bool onlyHeader = std::all_of(lines.begin() + (lines.empty() ? 0 : 1), lines.end(),
                                      [](const std::string& l) { return Trim(l).empty(); });
  if (lines.empty() || onlyHeader) {
    reading.outcome = ResultReading::Outcome::Empty;
    return reading;
  }
  try {
    reading.encoding = LineEncoding::ForRawHeader(ctx, lines[0]);
  } catch (const Error& e) {
    return Damaged(std::move(reading), e.what());
  }
  for (std::string& line : lines) line = reading.encoding.Decode(line);
  if (lines.size() < 6) return Damaged(std::move(reading), "the file ends before its questions");

  ResultContent& c = reading.content;
  c.header = lines[0];
  std::optional<SheetStatus> status = SheetStatus::Parse(lines[1]);
  if (!status) return Damaged(std::move(reading), "line 2 is not a status line");
  c.status = *status;
  const std::optional<std::string> place = Unwrapped(lines[2]);
  const std::optional<std::string> expected = Unwrapped(lines[3]);
  const std::optional<std::string> histories = Unwrapped(lines[4]);
  const std::optional<std::string> bank = Unwrapped(lines[5]);
  if (!place || !expected || !histories || !bank)
    return Damaged(std::move(reading), "lines 3 to 6 are not in the result layout");
  c.sheetPath = GetField(*place, "\xA6", 1);
  c.book = GetField(*place, "\xA6", 2);
  c.level = GetField(*place, "\xA6", 3);
  c.questionLines.assign(lines.begin() + 6, lines.end());

  const int fields = CountFields(c.questionLines);
  c.expected = SplitAnswers(*expected);
  c.histories = SplitAnswers(*histories);
  if (fields == 0 && c.expected.size() == 1 && c.expected[0].empty()) c.expected.clear();
  if (fields == 0 && c.histories.size() == 1 && Trim(c.histories[0]).empty()) c.histories.clear();
  if (static_cast<int>(c.expected.size()) != fields)
    return Damaged(std::move(reading), "line 4 holds " + std::to_string(c.expected.size()) +
                                           " answers for " + std::to_string(fields) + " fields");
  if (static_cast<int>(c.histories.size()) != fields)
    return Damaged(std::move(reading), "line 5 holds " + std::to_string(c.histories.size()) +
                                           " histories for " + std::to_string(fields) + " fields");
  if (c.status.tally.total != fields)
    return Damaged(std::move(reading), "line 2 counts " + std::to_string(c.status.tally.total) +
                                           " fields, the questions " + std::to_string(fields));
  for (std::string& answer : c.expected) answer = Trim(answer);
  for (std::string& history : c.histories) {
    history = Trim(history);
    std::string kept = KeepLastEntries(history);
    if (kept.size() != history.size()) reading.historiesCut = true;
    history = std::move(kept);
  }
  const std::string bankText = Trim(*bank);
  if (!bankText.empty()) c.wordBank = SplitAnswers(bankText);
  reading.outcome = ResultReading::Outcome::Read;
  return reading;
}

}  // namespace quillo
