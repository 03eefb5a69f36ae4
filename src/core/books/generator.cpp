#include "books/generator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <unordered_map>

#include "books/book_text.h"
#include "books/job_version.h"
#include "books/scramble.h"
#include "books/sheet_files.h"
#include "engine/template_functions.h"
#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "setup/accounts.h"
#include "setup/settings_store.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"
#include "shell/ini_file.h"

namespace quillo {

using book_text::kSep;

namespace {

// Bounds that keep a damaged record from asking for absurd amounts of work.
constexpr int64_t kMaxQuantity = 10000;
constexpr int64_t kMaxLineCount = 1000000;

// A uniform whole number in 0..count-1 (count > 0).
int Pick(RandomSource& random, int count) {
  auto p = static_cast<int>(random.Next() * static_cast<long double>(count));
  return std::clamp(p, 0, count - 1);
}

// Each position in turn swapped with a partner drawn from 0..size-2; the last position is never
// a partner, a one-element list stays as it is.
template <typename T>
void SwapShuffle(RandomSource& random, std::vector<T>& items) {
  if (items.size() < 2) return;
  int partners = static_cast<int>(items.size()) - 1;
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::swap(items[i], items[static_cast<std::size_t>(Pick(random, partners))]);
  }
}

// --- Collation ---------------------------------------------------------------------------------

// Primary weight of a Windows-1252 byte: symbols (by byte) < digits < letters (accents and case
// folded onto the base letter).
int PrimaryWeight(unsigned char c) {
  static const std::array<int, 256> weights = [] {
    std::array<int, 256> w{};
    for (int i = 0; i < 256; ++i) w[i] = i;  // symbols keep their byte order below 256
    for (int d = 0; d < 10; ++d) w['0' + d] = 300 + d;
    auto letter = [&](int ch, char base) { w[ch] = 400 + (base - 'a') * 2; };
    for (char ch = 'a'; ch <= 'z'; ++ch) {
      letter(ch, ch);
      letter(ch - 'a' + 'A', ch);
    }
    const char* folds[] = {
        "\x8A" "s", "\x8C" "o", "\x8E" "z", "\x9A" "s", "\x9C" "o", "\x9E" "z", "\x9F" "y",
        "\xC0" "a", "\xC1" "a", "\xC2" "a", "\xC3" "a", "\xC4" "a", "\xC5" "a", "\xC6" "a",
        "\xC7" "c", "\xC8" "e", "\xC9" "e", "\xCA" "e", "\xCB" "e", "\xCC" "i", "\xCD" "i",
        "\xCE" "i", "\xCF" "i", "\xD0" "d", "\xD1" "n", "\xD2" "o", "\xD3" "o", "\xD4" "o",
        "\xD5" "o", "\xD6" "o", "\xD8" "o", "\xD9" "u", "\xDA" "u", "\xDB" "u", "\xDC" "u",
        "\xDD" "y", "\xDF" "s", "\xE0" "a", "\xE1" "a", "\xE2" "a", "\xE3" "a", "\xE4" "a",
        "\xE5" "a", "\xE6" "a", "\xE7" "c", "\xE8" "e", "\xE9" "e", "\xEA" "e", "\xEB" "e",
        "\xEC" "i", "\xED" "i", "\xEE" "i", "\xEF" "i", "\xF0" "d", "\xF1" "n", "\xF2" "o",
        "\xF3" "o", "\xF4" "o", "\xF5" "o", "\xF6" "o", "\xF8" "o", "\xF9" "u", "\xFA" "u",
        "\xFB" "u", "\xFC" "u", "\xFD" "y", "\xFF" "y"};
    for (const char* f : folds) letter(static_cast<unsigned char>(f[0]), f[1]);
    return w;
  }();
  return weights[c];
}

bool IsUpperLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F ||
         (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

struct CollateCmp {
  bool operator()(const std::string& a, const std::string& b) const { return CollateLess(a, b); }
};

// --- Lines of the book ---------------------------------------------------------------------------

// A count field of a title record as a number.
int CountField(const std::string& text, int64_t max, const TdBaseJob& title, const char* what) {
  int64_t v = TextToInt(text);
  if (v > max) {
    throw Error("Title " + title.Code + ": " + what + " " + text + " is out of range");
  }
  return static_cast<int>(std::max<int64_t>(v, 0));
}

std::string WithoutBraces(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '{' && c != '}') out += c;
  }
  return out;
}

// One generation: the book, the settings and the working state.
class Generation {
 public:
  Generation(Context& ctx, const SheetTarget& target)
      : ctx_(ctx),
        target_(target),
        random_(*ctx.random),
        settings_(ReadGenerationSettings(ctx)) {}

  SheetResult Run(std::string_view modeLetter, int requestedTotal,
                  const std::vector<TdBaseJob>& titles);

 private:
  struct Group {
    std::vector<std::string> headings;
    std::vector<std::string> questions;
    int titles = 0;
  };

  void OpenBook();
  void ReadTitle(const TdBaseJob& title, int quantity, const std::vector<int>& drawn);
  // Turns template line t into slot e; true when the title's reading stops.
  bool FillSlot(const TdBaseJob& title, const std::string& t, int n, std::size_t e,
                std::vector<std::string>& slots);
  std::vector<std::string> DrawBlocks(int n, const std::string& t);
  std::string FillFromQuoted(const std::string& t, bool chooseAlternative);
  void WriteGroup(std::string_view modeLetter, int requestedTotal);
  void AddAnswerBank();

  Context& ctx_;
  const SheetTarget& target_;
  RandomSource& random_;
  GenerationSettings settings_;
  std::string header_;
  bool typeA_ = false;
  std::unique_ptr<OffsetLineReader> book_;
  std::vector<std::string> lines_;
  Group group_;
  int count_ = 0;
};

void Generation::OpenBook() {
  std::string content;
  bool readable = ReadWholeFile(target_.bookPath, content);
  // Line 2 is the book header; it tells whether the book is scrambled.
  std::size_t end1 = content.find("\r\n");
  std::size_t end2 = end1 == std::string::npos ? end1 : content.find("\r\n", end1 + 2);
  std::string rawHeader =
      end2 == std::string::npos ? std::string() : content.substr(end1 + 2, end2 - end1 - 2);
  bool scrambled = IsScrambled(rawHeader);
  std::string key = rawHeader.empty() ? std::string() : KeyDigitsFor(ctx_, scrambled);
  header_ = UnscrambleLine(rawHeader, scrambled, key);
  if (!readable || header_.empty()) throw Error("Cannot read the book " + target_.bookPath);
  typeA_ = HasAnswerBank(header_);
  book_ = std::make_unique<OffsetLineReader>(std::move(content), scrambled, std::move(key));
}

SheetResult Generation::Run(std::string_view modeLetter, int requestedTotal,
                            const std::vector<TdBaseJob>& titles) {
  OpenBook();
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const TdBaseJob& title = titles[i];
    if (!title.Checked) continue;
    if (title.Location.empty()) {
      ctx_.trace.Trace("Error: 3973: " + BaseName(target_.bookPath) + ".IDX" + " -Ligne Vide...");
      return {};
    }
    int quantity = CountField(title.Quantity, kMaxQuantity, title, "quantity");
    int lineCount = CountField(title.LineCount, kMaxLineCount, title, "line count");
    ReadTitle(title, quantity, DrawExercises(random_, lineCount, quantity));
    ++group_.titles;
    const TdBaseJob* next = nullptr;
    for (std::size_t j = i + 1; j < titles.size() && !next; ++j) {
      if (titles[j].Checked) next = &titles[j];
    }
    bool ends = !next || title.MergeGroup.empty() ||
                CharAt(next->MergeGroup, 1) != title.MergeGroup;
    if (ends) WriteGroup(modeLetter, requestedTotal);
  }
  AddAnswerBank();
  SheetResult result;
  result.questions = count_;
  if (lines_.size() < 2) return result;
  bool scrambled = IsScrambled(header_);
  WriteDerivedFile(target_.sheetPath, lines_, scrambled, KeyDigitsFor(ctx_, scrambled));
  result.written = true;
  if (!target_.user.empty()) {
    std::string folder = WithSlash(ctx_.folders.UserFolder(target_.user));
    if (FolderExists(folder)) {
      IniWriteString(folder + kAccountIni, "Last Input", "Nom 2", target_.sheetPath);
    } else {
      ctx_.trace.Trace("Error: no account folder " + folder + " to record the sheet in");
    }
  }
  return result;
}

void Generation::ReadTitle(const TdBaseJob& title, int quantity, const std::vector<int>& drawn) {
  const int n = quantity;
  if (n <= 0) return;
  std::vector<int> sorted = drawn;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::string> slots(static_cast<std::size_t>(n));
  std::size_t e = 0;
  int c = 1;
  for (LineAt line = book_->At(LocationOffset(title.Location));
       e < slots.size() && !line.atEnd; line = book_->At(line.next), ++c) {
    if (sorted[e] == 0) {
      ctx_.trace.Trace("Error:2764  Nombre de rech. est superieur que autoriser ");
      return;
    }
    if (sorted[e] != c) continue;
    if (e == 0) group_.headings.push_back(title.Example);
    bool stop = FillSlot(title, GetField(line.text, kSep, 2), n, e, slots);
    ++e;
    if (stop) break;
  }
  if (settings_.ascending) {
    for (std::string& s : slots) group_.questions.push_back(std::move(s));
    return;
  }
  std::unordered_map<int, std::size_t> slotOf;
  for (std::size_t k = 0; k < sorted.size(); ++k) slotOf.emplace(sorted[k], k);
  for (int d : drawn) group_.questions.push_back(std::move(slots[slotOf[d]]));
}

bool Generation::FillSlot(const TdBaseJob& title, const std::string& t, int n, std::size_t e,
                          std::vector<std::string>& slots) {
  const std::string& code = title.SpCode;
  if (code.empty()) {
    slots[e] = t;
  } else if (code == "G1n") {
    slots[e] = ExpandTemplate(random_, ctx_.trace, 1, t).front();
  } else if (code == "G1") {
    std::vector<std::string> results = ExpandTemplate(random_, ctx_.trace, n, t);
    for (std::size_t k = 0; k < slots.size(); ++k) {
      slots[k] = k < results.size() ? std::move(results[k]) : std::string();
    }
    return true;
  } else if (code == "GD1") {
    slots = DrawBlocks(n, t);
    return true;
  } else if (code == "LO1" || code == "LO2") {
    slots[e] = FillFromQuoted(t, code == "LO2");
  } else if (code == "PQ1") {
    slots[e] = AddHints(random_, t, settings_.modeStar > 1 ? settings_.modeStar : 3);
  } else if (code == "VO1") {
    slots[e] = BuildLanguageLine(random_, t, settings_, typeA_);
  } else if (code == "STB") {
    slots[e] = BuildLanguageLine(random_, PrepareSentence(random_, t, settings_.clozeTests),
                                 settings_, typeA_);
  } else {
    slots[e].clear();
  }
  return false;
}

std::vector<std::string> Generation::DrawBlocks(int n, const std::string& t) {
  std::vector<std::string> slots(static_cast<std::size_t>(n), t);
  for (long j = 1;; ++j) {
    std::string block = Trim(GetNthEnclosed(slots[0], "#DrawF_", "$", j));
    if (block.empty()) break;
    for (std::string& slot : slots) slot = CutAfterNth(slot, "#DrawF_", "$", j);
    if (block.front() == '{') {
      std::replace(block.begin(), block.end(), '{', '<');
      std::replace(block.begin(), block.end(), '}', '>');
    }
    std::vector<std::string> results = ExpandTemplate(random_, ctx_.trace, n, block);
    for (std::size_t k = 0; k < slots.size(); ++k) {
      const std::string result = k < results.size() ? results[k] : std::string();
      std::size_t at = slots[k].find("_$");
      if (result.empty() || at == std::string::npos) {
        slots[k].clear();
      } else {
        slots[k].insert(at + 1, result);
      }
    }
  }
  for (std::string& slot : slots) {
    std::replace(slot.begin(), slot.end(), '$', ' ');
    slot = ReplaceAll(slot, " = ", " $ ");
  }
  return slots;
}

std::string Generation::FillFromQuoted(const std::string& t, bool chooseAlternative) {
  std::string quoted;
  std::size_t open = t.find('"');
  std::size_t close = open == std::string::npos ? open : t.find('"', open + 1);
  if (close != std::string::npos) quoted = t.substr(open + 1, close - open - 1);
  if (quoted.empty()) {
    ctx_.trace.Trace(chooseAlternative ? "Error: 09725a: Wrong SpCode.."
                                       : "Error: 09725: Wrong SpCode..");
    return "";
  }
  std::vector<std::string> values;
  if (chooseAlternative) {
    std::vector<std::string> alternatives = SplitAll('\\', quoted);
    random_.SeedFromClock();
    const std::string& chosen =
        alternatives[static_cast<std::size_t>(Pick(random_, static_cast<int>(alternatives.size())))];
    values = SplitAll(';', chosen);
  } else {
    values = SplitToStrings(' ', ExpandTemplate(random_, ctx_.trace, 1, quoted).front());
  }
  return FillQuoted(DeleteThroughNth(t, '"', 2), '"', values);
}

void Generation::WriteGroup(std::string_view modeLetter, int requestedTotal) {
  for (const std::string& q : group_.questions) {
    if (!q.empty()) ++count_;
  }
  if (lines_.empty()) {
    lines_ = SheetHeaderLines(header_, requestedTotal, modeLetter, target_.sheetPath,
                              target_.bookTitle, target_.levelName);
  }
  for (const std::string& heading : group_.headings) {
    lines_.push_back(std::string(kHeadingTag) + heading);
  }
  if (group_.titles >= 2) {
    random_.SeedFromClock();
    SwapShuffle(random_, group_.questions);
  }
  for (std::string& q : group_.questions) lines_.push_back(std::move(q));
  group_ = Group{};
}

void Generation::AddAnswerBank() {
  if (!typeA_ || settings_.modeStar == 0 || lines_.size() <= 7) return;
  std::vector<std::string> answers;
  for (std::size_t i = kSheetHeaderLines; i < lines_.size(); ++i) {
    std::string contents = Trim(GroupContents(lines_[i], "{", "}"));
    if (contents.empty()) continue;
    for (const std::string& answer : SplitAll(';', contents)) {
      std::string masked = Trim(MaskAnswer(random_, answer, settings_.modeStar));
      if (!masked.empty()) answers.push_back(std::move(masked));
    }
  }
  lines_[kSheetHeaderLines - 1] = "#[" + JoinFields(answers) + "]";
}

}  // namespace

// --- Public steps ------------------------------------------------------------------------------

GenerationSettings ReadGenerationSettings(const Context& ctx) {
  GenerationSettings s;
  s.ascending = SettingBool(ctx, "RB_PoseQstNonMelanger");
  s.modeStar = SettingInt(ctx, "UpDo_iModeStar");
  s.clozeTests = SettingBool(ctx, "Cb_Langs_ClozeTests");
  s.lookAt1 = SettingInt(ctx, "UpD_Lang_ToLookAt1");
  s.tryLookAt2 = SettingInt(ctx, "UpD_Lang_TryToLookAt2");
  s.fillIn3 = SettingInt(ctx, "UpD_Lang_ToFillIn3");
  s.showLookAt1 = SettingBool(ctx, "cb_Lang_ToLookAt1");
  s.showTryLookAt2 = SettingBool(ctx, "cb_Lang_TryToLookAt2");
  return s;
}

std::vector<int> DrawExercises(RandomSource& random, int count, int quantity) {
  random.SeedFromClock();
  std::vector<int> list;
  for (int i = 1; i <= count; ++i) list.push_back(i);
  SwapShuffle(random, list);
  if (quantity < 0) quantity = 0;
  list.resize(static_cast<std::size_t>(quantity), 0);
  return list;
}

bool CollateLess(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int wa = PrimaryWeight(static_cast<unsigned char>(a[i]));
    int wb = PrimaryWeight(static_cast<unsigned char>(b[i]));
    if (wa != wb) return wa < wb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < n; ++i) {
    bool ua = IsUpperLetter(static_cast<unsigned char>(a[i]));
    bool ub = IsUpperLetter(static_cast<unsigned char>(b[i]));
    if (ua != ub) return ub;  // lower case first
  }
  return a < b;
}

std::vector<std::string> ExpandTemplate(RandomSource& random, TraceLog& trace, int n,
                                        std::string_view templateLine) {
  std::set<std::string, CollateCmp> found;
  if (!TemplateCanVary(templateLine)) {
    // Every expansion gives the same line: one is enough.
    std::string line = ExpandTemplateLine(templateLine, random);
    if (!line.empty()) found.insert(std::move(line));
  } else {
    const std::size_t target = static_cast<std::size_t>(std::max(n, 0));
    long limit = n;
    int extensions = 0;
    long attempts = 0;
    while (found.size() <= target) {
      std::string line = ExpandTemplateLine(templateLine, random);
      ++attempts;
      if (!line.empty()) found.insert(std::move(line));
      if (attempts >= limit) {
        if (extensions >= 11) break;
        limit += 100;
        ++extensions;
      }
    }
  }
  if (found.empty()) {
    trace.Trace("Error:ExprEmpty:784:" + std::string(templateLine));
    return {std::string(kExprEmpty)};
  }
  return {found.begin(), found.end()};
}

std::string MaskAnswer(RandomSource& random, std::string_view answer, int mode) {
  std::string trimmed = Trim(answer);
  if (trimmed.empty()) return "";
  std::string hint;
  for (const std::string& word : SplitAll(' ', trimmed)) {
    if (word.empty()) {
      hint += "Error Ws6220 ";
      continue;
    }
    random.SeedFromClock();
    const int len = static_cast<int>(word.size());
    std::string mask = FillLike(word, '*');
    switch (mode) {
      case 2: {
        int p = Pick(random, len);
        mask[p] = word[p];
        break;
      }
      case 3: {
        int wanted = len <= 4 ? 1 : len <= 7 ? 2 : len <= 9 ? 3 : 4;
        std::vector<bool> shown(word.size(), false);
        for (int draws = 0, done = 0; done < wanted && draws < 119; ++draws) {
          int p = Pick(random, len);
          if (shown[p]) continue;
          shown[p] = true;
          mask[p] = word[p];
          ++done;
        }
        break;
      }
      case 4:
        mask = word;
        mask[Pick(random, len)] = '*';
        break;
      default:
        break;
    }
    hint += mask;
    hint += ' ';
  }
  return hint;
}

std::string AddHints(RandomSource& random, std::string_view text, int mode) {
  if (mode == 0) return std::string(text);
  std::string answers = CollectBetweenChars(text, '{', '}');
  std::string out = ReplaceAll(text, "{", "#{");
  std::size_t from = 0;
  for (const std::string& answer : SplitAll(';', answers)) {
    if (answer.empty()) break;
    std::size_t at = out.find("#{", from);
    if (at == std::string::npos) break;
    std::string hint = "#FoPur_ [" + MaskAnswer(random, answer, mode) + "] $ {";
    out.replace(at, 2, hint);
    from = at + hint.size();
  }
  // Fields left without a hint (after an empty one) keep their plain opening brace.
  return ReplaceAll(out, "#{", "{");
}

std::string BuildLanguageLine(RandomSource& random, std::string_view line,
                              const GenerationSettings& settings, bool typeA) {
  std::array<std::string, 4> columns;
  for (int k = 0; k < 4; ++k) columns[k] = Trim(GetField(line, ";", k + 1));
  const int m = typeA ? 0 : settings.modeStar;
  auto label = [](int k) -> std::string {
    switch (k) {
      case 0: return "[None]";
      case 1: return "FR: ";
      case 2: return "DE: ";
      case 3: return "EN: ";
      default: return "Lx";
    }
  };
  auto column = [&](int k) -> const std::string& {
    static const std::string none;
    return k >= 0 && k <= 3 ? columns[k] : none;
  };
  const std::string& heading = columns[0];
  int l1 = settings.lookAt1;
  int l2 = settings.tryLookAt2;
  int l3 = settings.fillIn3;
  std::string out = heading;
  if (!heading.empty()) out += "#Ch13$";
  if (heading.empty() && l1 == 0 && l2 == 0) l1 = l3 == 1 ? 2 : l3 == 2 ? 3 : l3 == 3 ? 1 : l1;
  if (l1 > 0) {
    bool withFields = settings.showLookAt1 && !heading.empty();
    out += "#FoPur_" + label(l1) + "$ " +
           (withFields ? AddHints(random, column(l1), m) : WithoutBraces(column(l1))) + "#Ch13$";
  }
  if (l2 > 0) {
    out += "#FoPur_" + label(l2) + "$ " +
           (settings.showTryLookAt2 ? AddHints(random, column(l2), m)
                                    : WithoutBraces(column(l2))) +
           "#Ch13$";
  }
  out += "#FoPur_" + label(l3) + "$ " + AddHints(random, column(l3), m) + "#EndLig$";
  return out;
}

std::string ClozeReduce(RandomSource& random, std::string_view line) {
  std::vector<std::string> fields = SplitAll(';', line);
  for (std::size_t f = 1; f <= 3 && f < fields.size(); ++f) {
    const std::string& field = fields[f];
    int blanks = static_cast<int>(std::count(field.begin(), field.end(), '{'));
    int k = blanks >= 3 && blanks <= 5 ? 2 : blanks >= 6 && blanks <= 8 ? 3 : blanks > 8 ? 4 : 0;
    if (k == 0) continue;
    std::vector<int> given = DrawExercises(random, blanks, k);
    std::vector<bool> plain(static_cast<std::size_t>(blanks) + 1, false);
    for (int g : given) plain[static_cast<std::size_t>(g)] = true;
    std::string out;
    int number = 0;
    bool dropClose = false;
    for (char c : field) {
      if (c == '{') {
        ++number;
        if (plain[static_cast<std::size_t>(number)]) {
          dropClose = true;
          continue;
        }
      } else if (c == '}' && dropClose) {
        dropClose = false;
        continue;
      }
      out += c;
    }
    fields[f] = std::move(out);
  }
  return JoinWith(fields, ";");
}

std::string PrepareSentence(RandomSource& random, std::string_view line, bool clozeTests) {
  std::string s = ReplaceAll(line, "\x9C", "oe");
  s = SpaceAround(s, '\'', " ");
  s = SpaceAround(s, '\x92', " ");
  s = SpaceAround(s, '-', " ");
  s = WrapWords(s, true, 1);
  if (clozeTests) s = ClozeReduce(random, s);
  s = ReplaceAll(s, "(", "#FoGra_(");
  s = ReplaceAll(s, ")", ")$");
  s = ReplaceAll(s, "[", "#FoGra_[");
  s = ReplaceAll(s, "]", "]$");
  return s;
}

// --- Generation ----------------------------------------------------------------------------------

SheetResult GenerateSheet(Context& ctx, const SheetTarget& target, std::string_view modeLetter,
                          int requestedTotal, const std::vector<TdBaseJob>& titles) {
  if (!ctx.random) throw Error("Generation needs a random source");
  Generation generation(ctx, target);
  return generation.Run(modeLetter, requestedTotal, titles);
}

SheetResult GenerateFromLines(Context& ctx, const SheetTarget& target, std::string_view mode,
                              std::string_view mergeLetter,
                              const std::vector<std::string>& recordLines, int perTitleQuantity) {
  if (mode != "s" && mode != "p") throw Error("Unknown generation mode " + std::string(mode));
  std::vector<TdBaseJob> titles = ReadTitleRecords(recordLines);
  int64_t total = 0;
  for (TdBaseJob& t : titles) {
    t.Checked = true;
    if (mode == "s") {
      if (t.Quantity.empty() || t.LineCount.empty()) {
        t.Quantity = "1";
        t.LineCount = "1";
        ctx.trace.Trace("Error:98752 not No force to 1");
      }
      total += TextToInt(t.Quantity);
    } else {
      t.MergeGroup = std::string(mergeLetter);
      if (t.SpCode.empty() || t.SpCode == "LO1" || t.SpCode == "LO2") {
        t.Quantity = std::to_string(std::min<int64_t>(perTitleQuantity, TextToInt(t.LineCount)));
      } else {
        t.Quantity = std::to_string(perTitleQuantity);
        t.LineCount = t.Quantity;
      }
    }
  }
  if (mode == "p") total = perTitleQuantity;
  return GenerateSheet(ctx, target, mode, static_cast<int>(std::clamp<int64_t>(total, 0, INT32_MAX)),
                       titles);
}

SheetResult RegenerateFromJob(Context& ctx, std::string_view sheetPath, std::string_view user) {
  std::string job = JobPathOf(sheetPath);
  std::string book = BookPathFor(ctx.folders.booksDir, job);
  if (book.empty() || ReadCurrentBook(ctx, book).header.empty()) return {};
  if (FileExists(job) && CheckJobVersion(ctx, job, book)) {
    DerivedFile file = ReadDerivedFile(ctx, job);
    if (!file.lines.empty()) {
      SheetTarget target;
      target.sheetPath = std::string(sheetPath);
      target.bookPath = book;
      target.bookTitle = GetField(file.lines[0], kSep, 2);
      target.levelName = GetField(file.lines[0], kSep, 3);
      target.user = std::string(user);
      std::vector<std::string> records(file.lines.begin() + 1, file.lines.end());
      return GenerateFromLines(ctx, target, "s", "", records, 0);
    }
  }
  std::string text = MessageText(ctx, "svL101");
  std::string name = BaseName(sheetPath);
  if (ctx.msgBox) ctx.msgBox->Inform("Info", text, name);
  ctx.trace.Trace("Info " + text + " " + name);
  return {};
}

}  // namespace quillo
