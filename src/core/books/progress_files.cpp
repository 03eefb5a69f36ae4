#include "books/progress_files.h"

#include <algorithm>

#include "books/book_text.h"
#include "engine/text_toolkit.h"
#include "books/scramble.h"
#include "books/sheet_files.h"
#include "shell/context.h"
#include "shell/file_utils.h"
#include "shell/ini_file.h"

namespace quillo {

using book_text::kSep;

long double LevelKeyOf(std::string_view recordLine) {
  std::string key = GetField(recordLine, kSep, 9);
  if (key.empty()) return kNoLevelKey;
  return static_cast<long double>(TextToInt(key));
}

std::vector<std::string> SortByLevelKey(const std::vector<std::string>& recordLines) {
  std::vector<TarrayRec> records;
  records.reserve(recordLines.size());
  for (const std::string& line : recordLines) records.push_back({LevelKeyOf(line), line});
  std::stable_sort(records.begin(), records.end(),
                   [](const TarrayRec& a, const TarrayRec& b) { return a.key < b.key; });
  std::vector<std::string> sorted;
  sorted.reserve(records.size());
  for (TarrayRec& r : records) sorted.push_back(std::move(r.line));
  return sorted;
}

int WriteProgressFile(Context& ctx, std::string_view path, const JobHeader& header,
                      const std::vector<std::string>& recordLines, bool writeState) {
  ctx.trace.Trace("P-SaveSTP...001..High(arDynStr)..." +
                  std::to_string(static_cast<long>(recordLines.size()) - 1));
  std::vector<std::string> sorted = SortByLevelKey(recordLines);
  ctx.trace.Trace("P-SaveSTP...002..High(ArRecIdxI)..." +
                  std::to_string(static_cast<long>(sorted.size()) - 1));
  std::vector<std::string> lines;
  lines.push_back(header.Path + kSep + header.BookTitle + kSep + header.LevelName + kSep +
                  header.BookHeader);
  for (std::string& line : sorted) {
    if (!line.empty()) lines.push_back(std::move(line));
  }
  bool scrambled = IsScrambled(header.BookHeader);
  WriteDerivedFile(path, lines, scrambled, KeyDigitsFor(ctx, scrambled));
  int written = static_cast<int>(lines.size()) - 1;
  if (writeState) {
    DateTime now = ctx.clock ? ctx.clock->Now() : SystemClock().Now();
    CreateProgressState(StatePathOf(path), NewProgressState(path, written, now));
    ctx.trace.Trace("P-SaveSTP...007..[Write SNI...OK]");
  }
  return written;
}

// --- Progress state ----------------------------------------------------------------------------

ProgressState NewProgressState(std::string_view stpPath, int titleCount, const DateTime& now) {
  ProgressState s;
  s.STPFileName = std::string(stpPath);
  s.TotPosCount = titleCount;
  s.LastDate = now;
  return s;
}

std::string DateTimeText(const DateTime& dt) {
  return ShortDateText(dt) + " " + LongTimeText(dt);
}

namespace {

DateTime ReadDateTime(const IniFile& ini, const DateTime& def) {
  if (!ini.ValueExists(kPosSection, "LastDate")) return def;
  std::string text = ini.ReadString(kPosSection, "LastDate", "");
  std::size_t space = text.find(' ');
  std::optional<DateTime> date = ParseShortDate(text.substr(0, space));
  if (!date) return def;
  if (space == std::string::npos) return *date;
  std::optional<DateTime> time = ParseLongTime(text.substr(space + 1), *date);
  return time ? *time : def;
}

void WriteKeys(IniFile& ini, const ProgressState& s) {
  ini.WriteString(kPosSection, "QsRLastFileName", s.QsRLastFileName);
  ini.WriteString(kPosSection, "STPFileName", s.STPFileName);
  ini.WriteInteger(kPosSection, "StartPos", s.StartPos);
  ini.WriteInteger(kPosSection, "TotPosCount", s.TotPosCount);
  ini.WriteInteger(kPosSection, "MargeMin", s.MargeMin);
  ini.WriteInteger(kPosSection, "MargeAskAgain", s.MargeAskAgain);
  ini.WriteInteger(kPosSection, "MargeMaxFault", s.MargeMaxFault);
  ini.WriteInteger(kPosSection, "FinishCount", s.FinishCount);
  ini.WriteBool(kPosSection, "DirUpDown", s.DirUpDown);
  ini.WriteBool(kPosSection, "QsRFinishNextOK", s.QsRFinishNextOK);
  ini.WriteString(kPosSection, "LastDate", DateTimeText(s.LastDate));
}

}  // namespace

ProgressState ReadProgressState(std::string_view path, const ProgressState& defaults) {
  IniFile ini{std::string(path)};
  ProgressState s;
  s.QsRLastFileName = ini.ReadString(kPosSection, "QsRLastFileName", defaults.QsRLastFileName);
  s.STPFileName = ini.ReadString(kPosSection, "STPFileName", defaults.STPFileName);
  s.StartPos = ini.ReadInteger(kPosSection, "StartPos", defaults.StartPos);
  s.TotPosCount = ini.ReadInteger(kPosSection, "TotPosCount", defaults.TotPosCount);
  s.MargeMin = ini.ReadInteger(kPosSection, "MargeMin", defaults.MargeMin);
  s.MargeAskAgain = ini.ReadInteger(kPosSection, "MargeAskAgain", defaults.MargeAskAgain);
  s.MargeMaxFault = ini.ReadInteger(kPosSection, "MargeMaxFault", defaults.MargeMaxFault);
  s.FinishCount = ini.ReadInteger(kPosSection, "FinishCount", defaults.FinishCount);
  s.DirUpDown = ini.ReadBool(kPosSection, "DirUpDown", defaults.DirUpDown);
  s.QsRFinishNextOK = ini.ReadBool(kPosSection, "QsRFinishNextOK", defaults.QsRFinishNextOK);
  s.LastDate = ReadDateTime(ini, defaults.LastDate);
  return s;
}

void WriteProgressState(std::string_view path, const ProgressState& state) {
  IniFile ini{std::string(path)};
  WriteKeys(ini, state);
  ini.Save();
}

void CreateProgressState(std::string_view path, const ProgressState& state) {
  IniFile ini = IniFile::FromText("");
  WriteKeys(ini, state);
  ini.WriteInteger(kPosSection, "MargeMax", 0);
  ini.WriteBool(kPosSection, "MergeFault", true);
  std::string folder = GetFolderPart(path);
  if (!folder.empty()) EnsureFolder(folder);
  WriteFileAtomic(path, ini.Text());
}

}  // namespace quillo
