// The follow-up commands: the three lists of the follow-up window as text (results,
// progressive practices, statistics), and the continuation of a progressive practice.
#include <filesystem>
#include <iostream>

#include "books/sheet_files.h"
#include "cli.h"
#include "engine/text_toolkit.h"
#include "followup/followup_lists.h"
#include "language/text_lookup.h"
#include "practice/progression.h"
#include "setup/accounts.h"
#include "setup/settings_store.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo::cli {
namespace {

const char* const kFollowUpUsage = "followup --user NAME [--trace]";
const char* const kFollowUpSummary =
    "Prints the follow-up window's three lists for the user, as the window shows them after\n"
    "      applying the user's deletion rules (results deleted by age or as damaged are named\n"
    "      on standard error): [Inspect] the results (practice | status | points | duration |\n"
    "      start | colour, picture, newest), [Progress] the progressive practices (practice |\n"
    "      finish | last go into | start | icon | plan), [Statistik] the statistics (book |\n"
    "      practices | points | r points). NAME's own settings (else the global ones) apply.";

// The settings and texts a login of the user would load, as the practice window has them.
struct UserRun {
  explicit UserRun(const std::string& userName) : lookup(run.ctx.folders.languageDir) {
    Context& ctx = run.ctx;
    ctx.settings = &store;
    ctx.lookup = &lookup;
    CreateStartupFolders(ctx.folders);
    lookup.RefreshLanguages();
    SeedGlobalSettings(ctx);
    user = userName;
    userFolder = WithSlash(ctx.folders.UserFolder(user));
    ReadSettings(ctx, userFolder, kMasterIni);
  }
  CliRun run;
  SettingsStore store;
  TextLookup lookup;
  std::string user;
  std::string userFolder;
};

void PrintTrace(const Context& ctx) {
  for (const std::string& line : ctx.trace.Lines()) std::cerr << "trace: " << Out(line) << "\n";
}

const char* ColourName(RowColour colour) {
  switch (colour) {
    case RowColour::Black:
      return "black";
    case RowColour::Green:
      return "green";
    case RowColour::Purple:
      return "purple";
    case RowColour::Red:
      return "red";
  }
  return "";
}

std::string Cells(const std::vector<std::string>& cells) {
  std::string out;
  for (const std::string& cell : cells) out += (out.empty() ? "" : " | ") + Trim(cell);
  return out;
}

bool TakeUser(Args& args, std::string& user) {
  std::string value;
  if (!TakeOption(args, "--user", value)) return false;
  user = In(value);
  return true;
}

int RunFollowUp(const Args& all) {
  Args args = all;
  std::string user;
  const bool trace = TakeFlag(args, "--trace");
  if (!TakeUser(args, user) || !args.empty())
    return Fail(std::string("Usage: quillomark-cli ") + kFollowUpUsage);
  if (!IsValidAccountName(user)) return Fail("Not a user name: " + user);
  UserRun u(user);
  Context& ctx = u.run.ctx;
  if (trace) ctx.trace.SwitchOn();
  const FollowUpSettings settings = FollowUpSettings::FromSettings(ctx);

  // The order of the practice window: statistics, results, progressive practices.
  const std::vector<StatisticsListRow> statistics = FillStatistics(ctx, u.userFolder, settings);
  const InspectList results = FillResults(ctx, u.userFolder, settings);
  const std::vector<ProgressRow> progress = FillProgress(ctx, u.userFolder + "Qst/", settings);

  for (const DeletedResult& d : results.deleted) {
    std::cerr << "Deleted " << Out(FileNameOf(d.path)) << " ("
              << (d.damaged ? "damaged: " + Out(d.reason) : Out(d.reason))
              << (d.revisionTookPlace ? ", its revision took its place" : "") << ")\n";
  }
  std::cout << "[Inspect]\n";
  for (const InspectRow& r : results.rows) {
    std::string marks = std::string(ColourName(r.colour)) + ", picture " +
                        std::to_string(r.picture) + (r.newest ? ", newest" : "");
    std::cout << Out(Cells({r.name, r.status, r.points, r.duration, r.start, marks})) << "\n";
  }
  std::cout << "[Progress]\n";
  for (const ProgressRow& r : progress) {
    std::cout << Out(Cells({r.name, r.finish, r.lastDate, r.finishCount,
                            "icon " + std::to_string(r.icon), r.progressPath}))
              << "\n";
  }
  std::cout << "[Statistik]\n";
  for (const StatisticsListRow& r : statistics) {
    std::cout << Out(Cells({r.book, r.level, r.points, r.revisionPoints})) << "\n";
  }
  if (trace) PrintTrace(ctx);
  return 0;
}

// A path given on the command line, made absolute (as the progress file names itself).
std::string Absolute(const std::string& utf8) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(utf8, ec);
  return In(ec ? utf8 : p.lexically_normal().string());
}

}  // namespace

const char* const kProgressContinueUsage =
    "progress continue FILE.STP --user NAME [--seed S] [--cancel] [--trace]";

int RunProgressContinue(const Args& all) {
  Args args = all;
  std::string user, seed;
  const bool trace = TakeFlag(args, "--trace");
  const bool cancel = TakeFlag(args, "--cancel");
  const bool hasSeed = TakeOption(args, "--seed", seed);
  if (!TakeUser(args, user) || args.size() != 2 || args[0] != "continue")
    return Fail(std::string("Usage: quillomark-cli ") + kProgressContinueUsage);
  if (!IsValidAccountName(user)) return Fail("Not a user name: " + user);
  UserRun u(user);
  Context& ctx = u.run.ctx;
  if (trace) ctx.trace.SwitchOn();
  if (hasSeed) {
    const std::optional<int64_t> s = TryTextToInt(seed);
    if (!s || *s < 0) return Fail("The seed must be a whole number: " + In(seed));
    u.run.random.FixSeed(static_cast<uint64_t>(*s));
  }
  if (cancel) u.run.msgBox.QueueAnswer(kMsgCancel);
  EnsureFolder(u.userFolder);

  const std::string plan = Absolute(args[1]);
  const Continuation c = ContinueProgress(ctx, u.user, plan);
  if (trace) PrintTrace(ctx);
  std::cout << "code " << c.code << "\n";
  switch (c.code) {
    case kContinueNewSheet: {
      std::cout << "sheet " << Out(c.sheetPath) << "\n";
      const bool merge = c.plan.kind == NextSheet::Kind::Merge;
      const int last = std::min(c.plan.first + c.plan.titles, c.state.TotPosCount);
      std::cout << (merge ? "merged titles " : "titles ") << c.plan.first + 1 << "-" << last << ", "
                << c.plan.perTitle << " questions each, " << c.questions << " questions\n";
      if (c.plan.rolledBack) std::cout << "The last result was gone: one window back.\n";
      break;
    }
    case kContinueResume:
      std::cout << "resume " << Out(c.resultName) << " (kind " << Out(c.kind) << ", faults "
                << Out(c.faults) << ")\n";
      break;
    default:
      if (c.removeFromList) {
        std::cout << "The plan is missing; its progress state was deleted.\n";
      } else if (c.plan.kind == NextSheet::Kind::Finished) {
        std::cout << (c.restarted ? "The practice is complete and starts again (finished "
                                  : "The practice is complete (finished ")
                  << c.state.FinishCount << " times).\n";
      } else {
        std::cout << "Nothing to open.\n";
      }
      break;
  }
  return 0;
}

namespace {

Registrar followup{{"followup", kFollowUpUsage, kFollowUpSummary, RunFollowUp}};

}  // namespace
}  // namespace quillo::cli
