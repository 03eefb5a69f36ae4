// The follow-up window's lists: results, progressive practices and statistics.
#include "followup/followup_lists.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "books/book_text.h"
#include "books/sheet_files.h"
#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "practice/result_files.h"
#include "setup/settings_store.h"
#include "shell/context.h"
#include "shell/file_utils.h"

namespace quillo {

namespace {


// Results smaller than this are damaged.
constexpr int64_t kSmallestResult = 80;

DateTime NowOf(const Context& ctx) { return ctx.clock ? ctx.clock->Now() : SystemClock().Now(); }

// The value with one decimal and "," as separator, halves away from zero, a trailing ",0"
// removed ("0.0" then cut).
std::string OneDecimalText(long double value) {
  if (!std::isfinite(static_cast<double>(value))) return "0";
  const long double tenths = std::round(value * 10.0L);
  const bool negative = tenths < 0;
  const long double magnitude = negative ? -tenths : tenths;
  const auto whole = static_cast<long long>(magnitude / 10.0L);
  const auto decimal = static_cast<int>(magnitude - static_cast<long double>(whole) * 10.0L);
  std::string text = (negative && magnitude > 0 ? "-" : "") + std::to_string(whole);
  if (decimal != 0) text += "," + std::to_string(decimal);
  return text;
}

// R x S / T with one decimal; the full scale when nothing was counted.
std::string ShareText(int64_t right, int64_t total, int scale) {
  if (total <= 0) return std::to_string(scale);
  return OneDecimalText(static_cast<long double>(right) * scale / static_cast<long double>(total));
}

// Tally texts of line 2 are kept only when, without their "/", they are digits and "-".
bool UsableTally(const std::string& tally) {
  if (tally.empty()) return false;
  for (char c : tally) {
    if (c != '/' && c != '-' && (c < '0' || c > '9')) return false;
  }
  return true;
}

std::string Lookup(const Context& ctx, const char* key) { return MessageText(ctx, key); }

bool AskDelete(Context& ctx, std::string_view caption, const std::string& what) {
  return ctx.msgBox && ctx.msgBox->Ask(std::string(caption), MessageText(ctx, "svL004"), what);
}

// The result's file, its name and what resuming it needs, as read from lines 2 and 3.
struct ResultFacts {
  std::string statusPart;  // line 2 inside its brackets
  std::string tally;       // E/R/T/F when usable, else ""
  int64_t empty = 0, right = 0, total = 0;
  bool hasTotal = false;
  std::string faults;
  std::string kind;
  int64_t seconds = 0, attempt = 0;
  std::string key;
};

std::string Inner(const std::string& line) {
  if (std::optional<std::string> inner = Unwrapped(line)) return *inner;
  return line;
}

ResultFacts ReadFacts(const std::vector<std::string>& lines) {
  ResultFacts f;
  f.statusPart = lines.size() > 1 ? Inner(lines[1]) : std::string();
  const std::string identity = lines.size() > 2 ? Inner(lines[2]) : std::string();
  f.key = GetField(identity, '\xA6', 2) + ";" + GetField(identity, '\xA6', 3);
  const std::string tally = GetField(f.statusPart, ';', 1);
  if (UsableTally(tally)) {
    f.tally = tally;
    f.empty = TryTextToInt(GetField(tally, '/', 1)).value_or(0);
    f.right = TryTextToInt(GetField(tally, '/', 2)).value_or(0);
    const std::optional<int64_t> total = TryTextToInt(GetField(tally, '/', 3));
    f.hasTotal = total.has_value();
    f.total = total.value_or(0);
    f.faults = GetField(tally, '/', 4);
  }
  f.kind = GetField(f.statusPart, ';', 2);
  f.seconds = TryTextToInt(Trim(GetField(f.statusPart, ';', 3))).value_or(0);
  f.attempt = TryTextToInt(Trim(GetField(f.statusPart, ';', 4))).value_or(0);
  return f;
}

enum class Rule : uint8_t { Finished, Unfinished, Created };

bool ApplyRule(Context& ctx, const std::string& path, Rule rule, const FollowUpSettings& s) {
  switch (rule) {
    case Rule::Finished:
      return s.deleteFinished && DeleteByAge(ctx, path, s.finishedDays);
    case Rule::Unfinished:
      return s.deleteUnfinished && DeleteByAge(ctx, path, s.unfinishedDays);
    case Rule::Created:
      return s.deleteCreated && DeleteByAge(ctx, path, s.createdDays);
  }
  return false;
}

const char* RuleName(Rule rule) {
  switch (rule) {
    case Rule::Finished:
      return "finished";
    case Rule::Unfinished:
      return "unfinished";
    case Rule::Created:
      return "created";
  }
  return "";
}

// One result file: its row, or nothing when it was deleted or cannot be read.
std::optional<InspectRow> ResultRow(Context& ctx, const std::string& path,
                                    const FollowUpSettings& s, InspectList& list) {
  const std::string name = BaseName(path);
  ResultFacts f;
  std::string reason;
  if (FileSizeOf(path) < kSmallestResult) {
    reason = "File Size Corrupt...";
  } else {
    DerivedFile file;
    try {
      file = ReadDerivedFile(ctx, path);
    } catch (const std::exception& e) {
      // A scrambled result without the scramble key is not damaged: it stays as it is.
      ctx.trace.Trace("Error: result not listed: " + path + ": " + e.what());
      return std::nullopt;
    }
    if (!file.readable) {
      ctx.trace.Trace("Error: result not listed: cannot read " + path);
      return std::nullopt;
    }
    f = ReadFacts(file.lines);
    if (!f.hasTotal || f.total <= 0)
      reason = f.statusPart.empty() ? "no status line" : f.statusPart;
  }
  if (!reason.empty()) {
    const std::string fileName = FileNameOf(path);
    if (ctx.msgBox)
      ctx.msgBox->Inform(
          "Info", Lookup(ctx, "svL102"),
          fileName + " [" + reason + "] " + name + (f.tally.empty() ? "" : " " + f.tally));
    ctx.trace.Trace("Error: File is corrupt, is now deleted...");
    ctx.trace.Trace(fileName);
    ctx.trace.Trace(reason);
    ctx.trace.Trace(name);
    ctx.trace.Trace(f.tally);
    RemoveFile(path);
    list.deleted.push_back({path, reason, true, false});
    return std::nullopt;
  }

  const int64_t E = f.empty, R = f.right, T = f.total, secs = f.seconds;
  const std::string lowerKind = LowerCaseAscii(f.kind);
  const std::string prefix = lowerKind == "r" || lowerKind == "x" ? lowerKind + " " : "";
  const int64_t faultsForPoints =
      f.faults != "-1" && TryTextToInt(f.faults) ? *TryTextToInt(f.faults) : T - R;
  const int points = PointsOf(s.points, static_cast<int>(T), static_cast<int>(faultsForPoints));
  const std::string finishedText =
      prefix + Lookup(ctx, "svL203") + (f.faults != "0" ? " (" + f.faults + ")" : "");

  InspectRow row;
  row.name = name;
  row.kind = f.kind;
  row.faults = f.faults;
  row.seconds = f.seconds;
  row.attempt = f.attempt;
  row.total = static_cast<int>(T);
  row.key = f.key;
  row.path = path;
  bool showPoints = false;

  struct Line {
    bool holds;
    std::string status;
    RowColour colour;
    int picture;  // -1: unchanged
    Rule rule;
    bool points;
  };
  const Line table[] = {
      {R == T && E != T && secs >= 1, finishedText, RowColour::Green, GradeOf(s.points, points),
       Rule::Finished, true},
      {E != 0 && R != T && secs > 0,
       prefix + Lookup(ctx, "svL201") + " " + std::to_string(E) + " " + Lookup(ctx, "svL306"),
       RowColour::Purple, kPictureOpen, Rule::Unfinished, false},
      {E == T && R == 0 && secs > 0, prefix + Lookup(ctx, "svL301"), RowColour::Black, -1,
       Rule::Unfinished, false},
      {R == 0 && secs == 0 && f.kind == "r", Lookup(ctx, "svL302"), RowColour::Black, -1,
       Rule::Unfinished, false},
      {R == 0 && secs == 0 && f.kind == "s", "Er-Revision..", RowColour::Black, -1,
       Rule::Unfinished, false},
      {E == 0 && R != T && secs > 0 && s.mode == CorrectionMode::B, finishedText, RowColour::Green,
       GradeOf(s.points, points), Rule::Finished, true},
      {E == 0 && R != T && secs > 0 && s.mode != CorrectionMode::B,
       prefix + Lookup(ctx, "svL303") + " ( " + std::to_string(T - R) + " " +
           Lookup(ctx, "svL305") + " )",
       RowColour::Red, kPictureImprove, Rule::Unfinished, true},
  };
  for (const Line& line : table) {
    if (!line.holds) continue;
    row.status = line.status;
    row.colour = line.colour;
    if (line.picture >= 0) row.picture = line.picture;
    showPoints = line.points;
    if (ApplyRule(ctx, path, line.rule, s)) {
      list.deleted.push_back({path, RuleName(line.rule), false, FileExists(path)});
      return std::nullopt;
    }
  }
  if (secs == 0 && f.attempt == 0 && f.kind != "r") {
    row.status.clear();
    row.colour = RowColour::Black;
    showPoints = false;
    if (ApplyRule(ctx, path, Rule::Created, s)) {
      list.deleted.push_back({path, RuleName(Rule::Created), false, FileExists(path)});
      return std::nullopt;
    }
  }
  row.finished = row.colour == RowColour::Green;
  const std::string pointsWord = Lookup(ctx, "svL501");
  row.points = " " + pointsWord + (showPoints ? " " + std::to_string(points) : " ?") + " [" +
               std::to_string(T) + "]";
  row.duration = DurationText(f.seconds);
  row.start = std::to_string(f.attempt);
  return row;
}

}  // namespace

FollowUpSettings FollowUpSettings::FromSettings(const Context& ctx) {
  FollowUpSettings s;
  s.deleteFinished = SettingBool(ctx, "CB_DelFinishAfter");
  s.finishedDays = SettingInt(ctx, "Upd_DelFinishAfter");
  s.deleteUnfinished = SettingBool(ctx, "CB_DelNotFinishAfter");
  s.unfinishedDays = SettingInt(ctx, "Upd_DelNotFinishAfter");
  s.deleteCreated = SettingBool(ctx, "CB_DelCreated");
  s.createdDays = SettingInt(ctx, "Upd_DelCreated");
  s.manualDelete = SettingBool(ctx, "Cb_DelManuel");
  s.manualDeleteOnlyFinished = SettingBool(ctx, "Cb_DelManuelOnlyFinish");
  s.deletePracticesAndStatistics = SettingBool(ctx, "Cb_DelPractStat");
  s.mode = CorrectionModeOf(ctx);
  s.points = PointsRules::FromSettings(ctx);
  s.acceptMerge = SettingBool(ctx, "Cb_AcceptMerge");
  s.forceMerge = SettingBool(ctx, "ChForceToFastStepMerge");
  s.noAdvancedOptions = SettingBool(ctx, "RB_AdvancedGenNo");
  return s;
}

std::string DurationText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return buf;
}

namespace {

// Deletes a result file; a revision file of the same name takes its place.
bool RemoveResultFile(const std::string& file) {
  if (!RemoveFile(file)) return false;
  const std::string revision = ChangeExtension(file, kRevisionExtension);
  if (FileExists(revision)) MovePath(ResolveCase(revision), file);
  return true;
}

}  // namespace

bool DeleteByAge(Context& ctx, std::string_view path, int days) {
  const std::string file = ResolveCase(path);
  const std::optional<DateTime> date = FileDate(file);
  if (!date) return false;
  const double age = std::trunc(ToSerial(NowOf(ctx)) - ToSerial(*date));
  if (age < days) return false;
  return RemoveResultFile(file);
}

InspectList FillResults(Context& ctx, std::string_view userFolder,
                        const FollowUpSettings& settings) {
  InspectList list;
  const std::string folder = WithSlash(ResolveCase(userFolder));
  if (!FolderExists(folder)) return list;
  std::vector<std::string> names;
  ScriptedMessageBox silent;
  ListFilesChecked(folder, "*.QsR", names, ctx.msgBox ? *ctx.msgBox : silent);
  const std::string newest = NewestOrOldest(1, folder, names);
  for (const std::string& name : names) {
    const std::string path = folder + name;
    std::optional<InspectRow> row = ResultRow(ctx, path, settings, list);
    // A revision that took the place of a result deleted by age is listed in its place.
    if (!row && !list.deleted.empty() && list.deleted.back().path == path &&
        list.deleted.back().revisionTookPlace)
      row = ResultRow(ctx, path, settings, list);
    if (!row) continue;
    row->newest = path == newest;
    if (row->newest) list.newest = static_cast<int>(list.rows.size());
    list.rows.push_back(std::move(*row));
  }
  return list;
}

bool MayDeleteResult(const InspectRow& row, const FollowUpSettings& settings) {
  return settings.manualDelete ||
         (settings.manualDeleteOnlyFinished && row.colour == RowColour::Green);
}

bool DeleteResult(Context& ctx, const InspectRow& row, const FollowUpSettings& settings,
                  std::string_view caption) {
  if (!MayDeleteResult(row, settings)) return false;
  if (!AskDelete(ctx, caption, row.name)) return false;
  return FileExists(row.path) && RemoveResultFile(ResolveCase(row.path));
}

// --- Progress ------------------------------------------------------------------------------------

ProgressRow MakeProgressRow(const ProgressState& state, std::string_view statePath,
                            const FollowUpSettings& settings, const Context& ctx) {
  ProgressRow row;
  row.statePath = std::string(statePath);
  row.name = BaseName(statePath);
  row.progressPath =
      !state.STPFileName.empty() && IsInside(state.STPFileName, ctx.folders.userDataRoot)
          ? state.STPFileName
          : ChangeExtension(statePath, ".STP");
  const int64_t C = state.TotPosCount;
  const int64_t A = state.MargeAskAgain;
  const int64_t a = std::min<int64_t>(state.StartPos, C);
  const int64_t e = settings.acceptMerge || settings.forceMerge ? 2 : 0;
  if (a == -1) {
    row.icon = kIconNotStarted;
  } else if (A + a == C + e) {
    row.icon = kIconComplete;
  } else if (a >= 0 && A + a < C + e) {
    row.icon = state.DirUpDown ? kIconForward : kIconBack;
  } else {
    // Positions the rules above do not cover (a damaged state): before the plan or past it.
    row.icon = a < 0 ? kIconNotStarted : kIconComplete;
  }
  const int64_t c = A + a * (e + 1);
  const int64_t n = e + (e + 1) * C;
  const int scale = settings.points.scale;
  row.finish =
      a < 1 || n <= 0
          ? "0"
          : OneDecimalText(static_cast<long double>(c) * scale / static_cast<long double>(n));
  if (c < n && n > 0) {
    const auto done = static_cast<int64_t>(
        std::nearbyint(static_cast<long double>(c) * C / static_cast<long double>(n)));
    row.finish += " [~" + std::to_string(C - done) + "]";
  }
  row.lastDate = DateTimeText(state.LastDate);
  row.finishCount = " " + std::to_string(state.FinishCount);
  return row;
}

std::vector<ProgressRow> FillProgress(Context& ctx, std::string_view folder,
                                      const FollowUpSettings& settings) {
  std::vector<ProgressRow> rows;
  if (!FolderExists(folder)) return rows;
  std::vector<std::string> states;
  ListFolder(ResolveCase(folder), "*.SNI", states, true, true, true);
  ProgressState defaults;
  defaults.StartPos = -1;
  defaults.TotPosCount = -1;
  defaults.FinishCount = 0;
  defaults.MargeAskAgain = 0;
  defaults.DirUpDown = true;
  defaults.LastDate = NowOf(ctx);
  for (const std::string& path : states) {
    const ProgressState state = ReadProgressState(path, defaults);
    if (state.STPFileName.empty()) continue;
    rows.push_back(MakeProgressRow(state, path, settings, ctx));
  }
  return rows;
}

bool DeleteProgressPractice(Context& ctx, const ProgressRow& row, const FollowUpSettings& settings,
                            std::string_view caption) {
  if (!settings.deletePracticesAndStatistics) return false;
  if (!AskDelete(ctx, caption, row.name)) return false;
  for (const char* ext : {".STP", ".SNI", ".SQF", ".QST"}) {
    const std::string file = ChangeExtension(row.progressPath, ext);
    if (IsInside(file, ctx.folders.userDataRoot) && FileExists(file)) RemoveFile(ResolveCase(file));
  }
  if (!row.statePath.empty() && FileExists(row.statePath)) RemoveFile(ResolveCase(row.statePath));
  return true;
}

// --- Statistik -----------------------------------------------------------------------------------

std::vector<StatisticsListRow> FillStatistics(Context& ctx, std::string_view userFolder,
                                              const FollowUpSettings& settings) {
  std::vector<StatisticsListRow> rows;
  const std::string path = WithSlash(userFolder) + std::string(kStatisticsFileName);
  if (!FileExists(path)) {
    if (FolderExists(userFolder)) CreateEmptyFile(path);
    return rows;
  }
  std::string content;
  if (!ReadWholeFile(ResolveCase(path), content)) return rows;
  for (const std::string& line : SplitLines(content)) {
    if (line.empty()) continue;
    StatisticsListRow row;
    row.data = StatisticsRow::Parse(line);
    row.book = GetField(row.data.key, ';', 1);
    row.level = GetField(row.data.key, ';', 2);
    row.points = ShareText(row.data.r1, row.data.t1, settings.points.scale);
    row.revisionPoints = ShareText(row.data.r2, row.data.t2, settings.points.scale);
    rows.push_back(std::move(row));
  }
  (void)ctx;
  return rows;
}

std::vector<std::string> CurveTimeLabels(const StatisticsRow& row) {
  std::vector<std::string> labels;
  for (const std::string& time : row.times) {
    const std::size_t space = time.find(' ');
    const std::string date = time.substr(0, std::min<std::size_t>(space, 5));
    const std::string clock =
        space == std::string::npos ? std::string() : time.substr(space + 1, 5);
    labels.push_back(clock.empty() ? date : date + " " + clock);
  }
  return labels;
}

bool DeleteStatistics(Context& ctx, std::string_view userFolder,
                      const std::vector<std::string>& keys, const FollowUpSettings& settings,
                      std::string_view caption) {
  if (!settings.deletePracticesAndStatistics || keys.empty()) return false;
  std::string shown;
  for (const std::string& key : keys) shown += (shown.empty() ? "" : ", ") + key;
  if (!AskDelete(ctx, caption, shown)) return false;
  const std::string path = ResolveCase(WithSlash(userFolder) + std::string(kStatisticsFileName));
  std::string content;
  if (!ReadWholeFile(path, content)) return false;
  std::vector<std::string> kept;
  for (const std::string& line : SplitLines(content)) {
    if (line.empty()) continue;
    const std::string key = GetField(line, '\xA6', 1);
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) kept.push_back(line);
  }
  WriteFileAtomic(path, JoinLines(kept));
  return true;
}

// --- The window's choice -------------------------------------------------------------------------

FollowUpChoice ChooseResult(const InspectRow& row) {
  FollowUpChoice choice;
  choice.code = kFollowUpResume;
  choice.resultName = row.name;
  choice.kind = row.kind;
  choice.faults = row.faults;
  choice.closeWindow = true;
  return choice;
}

FollowUpChoice ChooseProgress(Context& ctx, std::string_view user, const ProgressRow& row,
                              const FollowUpSettings& settings) {
  (void)settings;
  const Continuation c = ContinueProgress(ctx, user, row.progressPath);
  FollowUpChoice choice;
  choice.code = c.code;
  choice.closeWindow = c.code != kContinueEnd;
  choice.removeRow = c.removeFromList;
  choice.resultName = c.resultName;
  choice.kind = c.code == kContinueNewSheet ? "p" : c.kind;
  choice.faults = c.faults;
  choice.sheetPath = c.sheetPath;
  if (c.restarted) {
    ProgressRow refreshed = row;
    refreshed.finish = "0";
    refreshed.lastDate = DateTimeText(c.state.LastDate);
    refreshed.finishCount = " " + std::to_string(c.state.FinishCount);
    refreshed.icon = kIconNotStarted;
    choice.refreshedRow = refreshed;
  }
  return choice;
}

}  // namespace quillo
