// The data of the follow-up window: the rows of its three lists (results with their state,
// points and grade; progressive practices with their advance; statistics per book and level),
// the automatic deletion of old results and the removal of damaged ones while the results are
// listed, the deletions the pupil may ask for, and what a chosen row hands to the practice
// window. The window renders these rows and forwards its events here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "practice/checking.h"
#include "practice/points.h"
#include "practice/practice_start.h"
#include "practice/progression.h"
#include "practice/statistics.h"
#include "shell/conventions.h"

namespace quillo {

struct Context;

// The settings the lists follow.
struct FollowUpSettings {
  bool deleteFinished = true;  // "CB_DelFinishAfter" after "Upd_DelFinishAfter" days
  int finishedDays = 6;
  bool deleteUnfinished = true;  // "CB_DelNotFinishAfter" after "Upd_DelNotFinishAfter" days
  int unfinishedDays = 21;
  bool deleteCreated = true;  // "CB_DelCreated" after "Upd_DelCreated" days
  int createdDays = 18;
  bool manualDelete = false;                 // "Cb_DelManuel": any result
  bool manualDeleteOnlyFinished = false;     // "Cb_DelManuelOnlyFinish": finished (green) results
  bool deletePracticesAndStatistics = true;  // "Cb_DelPractStat"
  CorrectionMode mode = CorrectionMode::A;
  PointsRules points;             // the scale ("UpDo2_TauxUnites") and the grade thresholds
  bool acceptMerge = true;        // "Cb_AcceptMerge"
  bool forceMerge = false;        // "ChForceToFastStepMerge"
  bool noAdvancedOptions = true;  // "RB_AdvancedGenNo": the Progress page is offered

  static FollowUpSettings FromSettings(const Context& ctx);
};

// The row colours of the result list.
enum class RowColour : uint8_t { Black, Green, Purple, Red };

// Picture numbers of the result list: grades 0 to 4, then these two.
inline constexpr int kPictureOpen = 5;     // an unfinished or new sheet
inline constexpr int kPictureImprove = 6;  // a sheet to improve
// Icons of the progress list.
inline constexpr int kIconComplete = 0;
inline constexpr int kIconForward = 7;
inline constexpr int kIconBack = 8;
inline constexpr int kIconNotStarted = 9;

// --- Inspect: the results ------------------------------------------------------------------------

// One result file as the list shows it.
struct InspectRow {
  // The columns "Practice", "Status", "Points", "Duration", "Start".
  std::string name;  // the result name
  std::string status;
  std::string points;
  std::string duration;  // "hh:mm:ss", hours with at least two digits
  std::string start;     // the attempt number
  RowColour colour = RowColour::Black;
  int picture = kPictureOpen;  // grade 0-4, kPictureOpen or kPictureImprove
  bool newest = false;         // the newest result file: bold, its picture shown
  bool finished = false;       // a finished (green) result
  // What resuming needs, and the rest of the file's line 2 and 3.
  std::string kind;
  std::string faults;
  int64_t seconds = 0;
  int64_t attempt = 0;
  int total = 0;
  std::string key;  // book ";" level
  std::string path;
};

// A result file that was deleted while the list was filled.
struct DeletedResult {
  std::string path;
  std::string reason;  // damaged: what is wrong; by age: "finished", "unfinished" or "created"
  bool damaged = false;
  bool revisionTookPlace = false;  // its revision file now bears its name
};

struct InspectList {
  std::vector<InspectRow> rows;  // in folder-listing order
  std::vector<DeletedResult> deleted;
  int newest = -1;  // index of the newest row, -1 when it got no row
};

// "hh:mm:ss" of a number of seconds, hours with at least two digits (negative counts as 0).
std::string DurationText(int64_t seconds);

// Deletes a result file when it is at least `days` whole days old (its file time against the
// context's clock; fractions of days dropped); a revision file of the same name (".QsV") then
// takes the result's name. True when the result was deleted.
bool DeleteByAge(Context& ctx, std::string_view path, int days);

// Lists the result files (".QsR") of the user's folder as rows. Files with over-long paths are
// reported and deleted; damaged files (under 80 bytes, no field count or 0 fields) are reported
// in the box "Info" with "Practice is corrupt, is now deleted !", traced and deleted; the
// deletion rules of the settings run on the others. Unreadable ones (a scrambled file without
// the scramble key) are traced and left alone.
InspectList FillResults(Context& ctx, std::string_view userFolder,
                        const FollowUpSettings& settings);

// Whether the Delete key may delete the row.
bool MayDeleteResult(const InspectRow& row, const FollowUpSettings& settings);
// Asks "Do you want to delete ?" with the result name (box titled with the window's caption)
// and deletes the result file, its revision taking its place. True when deleted; the list is
// then to be filled again.
bool DeleteResult(Context& ctx, const InspectRow& row, const FollowUpSettings& settings,
                  std::string_view caption = "Follow up");

// --- Progress: the progressive practices ---------------------------------------------------------

struct ProgressRow {
  // The columns "Practices", "Finish", "Last go into", "Start".
  std::string name;    // the state file's name without extension
  std::string finish;  // the advance on the points scale, with " [~n]" titles still to do
  std::string lastDate;
  std::string finishCount;  // " " + FinishCount
  int icon = kIconNotStarted;
  std::string progressPath;  // the plan to continue
  std::string statePath;
};

// The row of a progress state: the advance and icon from "StartPos", "TotPosCount",
// "MargeAskAgain" and "DirUpDown"; the plan is "STPFileName" when it lies in the user data,
// else the state's own ".STP".
ProgressRow MakeProgressRow(const ProgressState& state, std::string_view statePath,
                            const FollowUpSettings& settings, const Context& ctx);

// Every progress state (".SNI") under the folder, sub-folders included, whose "STPFileName" is
// not empty, in folder-listing order; missing or damaged keys read as "StartPos" and
// "TotPosCount" -1, "FinishCount" and "MargeAskAgain" 0, "LastDate" now.
std::vector<ProgressRow> FillProgress(Context& ctx, std::string_view folder,
                                      const FollowUpSettings& settings);

// With "Cb_DelPractStat" on, asks "Do you want to delete ?" and deletes the plan's ".STP",
// ".SNI", ".SQF" and ".QST" (and the listed state file). True when deleted.
bool DeleteProgressPractice(Context& ctx, const ProgressRow& row, const FollowUpSettings& settings,
                            std::string_view caption = "Follow up");

// --- Statistik: the statistics -------------------------------------------------------------------

struct StatisticsListRow {
  // The columns "Books", "Practices", "Points", "r Points".
  std::string book;
  std::string level;
  std::string points;
  std::string revisionPoints;
  StatisticsRow data;  // the line's sums and lists
};

// The rows of the user's "Statistic.f01" (created empty when missing), one per non-empty line.
std::vector<StatisticsListRow> FillStatistics(Context& ctx, std::string_view userFolder,
                                              const FollowUpSettings& settings);

// The time labels of a statistics row's curve: "dd.mm.yy hh:mm:ss" shortened to "dd.mm hh:mm".
std::vector<std::string> CurveTimeLabels(const StatisticsRow& row);

// With "Cb_DelPractStat" on, asks "Do you want to delete ?" and rewrites "Statistic.f01"
// without the lines of the given keys. True when rewritten.
bool DeleteStatistics(Context& ctx, std::string_view userFolder,
                      const std::vector<std::string>& keys, const FollowUpSettings& settings,
                      std::string_view caption = "Follow up");

// --- The window's choice -------------------------------------------------------------------------

// The result codes of the window are those the practice window opens by (kFollowUpResume...).

// What the window hands to the practice window when it closes.
struct FollowUpChoice {
  int code = 0;            // 20 resume a result, 21 or 22 from the continuation; other: nothing
  std::string resultName;  // 20, 22
  std::string kind;
  std::string faults;
  std::string sheetPath;  // 21
  bool closeWindow = false;
  bool removeRow = false;                   // the progressive practice is gone
  std::optional<ProgressRow> refreshedRow;  // the row after a restart
};

// A double click on a result row: resume it (code 20).
FollowUpChoice ChooseResult(const InspectRow& row);
// A double click on a progress row: the continuation; the window closes unless it returned -1.
FollowUpChoice ChooseProgress(Context& ctx, std::string_view user, const ProgressRow& row,
                              const FollowUpSettings& settings);

}  // namespace quillo
