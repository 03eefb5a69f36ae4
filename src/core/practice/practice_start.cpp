// What the practice window opens: the last sheet, the follow-up choices, regeneration, the clock.
#include "practice/practice_start.h"

#include <cstdio>

#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "practice/result_files.h"
#include "setup/accounts.h"
#include "setup/settings_store.h"
#include "shell/context.h"
#include "shell/file_utils.h"
#include "shell/ini_file.h"

namespace quillo {

namespace {

// A path read from a data file is followed only inside the program's own folders.
bool InsideProgramFolders(const Context& ctx, std::string_view path) {
  return IsInside(path, ctx.folders.userDataRoot) || IsInside(path, ctx.folders.programDataRoot);
}

bool IsPlainName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char ch : name) {
    if (ch == '/' || ch == '\\' || static_cast<unsigned char>(ch) < 32) return false;
  }
  return true;
}

}  // namespace

SheetRequest LastSheetRequest(Context& ctx, std::string_view userFolder) {
  const std::string account = WithSlash(userFolder) + kAccountIni;
  const std::string recorded = Trim(IniReadString(account, kLastInputSection, kLastSheetKey, ""));
  SheetRequest request;
  if (!recorded.empty() && InsideProgramFolders(ctx, recorded) && FileExists(recorded)) {
    request.code = StartCode::Fresh;
    request.path = ResolveCase(recorded);
    request.kind = "s";
    return request;
  }
  // The account folder may be gone (an account deleted meanwhile): nothing is recreated then.
  if (FolderExists(userFolder)) {
    IniWriteString(account, kLastInputSection, kLastJobKey, "");
    IniWriteString(account, kLastInputSection, kLastSheetKey, "");
  }
  if (ctx.msgBox) ctx.msgBox->Inform("Info...", MessageText(ctx, "svL077"));
  return request;
}

SheetRequest FollowUpRequest(int code, std::string_view userFolder, std::string_view resultName,
                             std::string_view generatedSheet, std::string_view kind,
                             std::string_view faults) {
  SheetRequest request;
  if (code == kFollowUpResume || code == kFollowUpResumeProgress) {
    if (!IsPlainName(resultName)) return request;
    const std::string base = WithSlash(userFolder) + std::string(resultName);
    std::string path = base + std::string(kResultExtension);
    if (!FileExists(path) && FileExists(base + std::string(kRevisionExtension)))
      path = base + std::string(kRevisionExtension);
    request.code = StartCode::Resume;
    request.path = ResolveCase(path);
    if (code == kFollowUpResumeProgress) {
      request.resumeKind = std::string(kind);
      request.resumeFaults = std::string(faults);
    }
  } else if (code == kFollowUpNextSheet) {
    if (generatedSheet.empty()) return request;
    request.code = StartCode::Fresh;
    request.path = std::string(generatedSheet);
    request.kind = "p";
  }
  return request;
}

bool RegeneratesOnOpening(const Context& ctx, std::string_view kind, std::string_view sheetPath) {
  if (!SettingBool(ctx, "Cb_AutoGenByNewQST") || kind == "p") return false;
  return GetFieldFromEnd(sheetPath, '/', 3) != "ShQst";
}

std::string BoardClockText(int64_t seconds, int64_t attempt) {
  if (seconds < 0) seconds = 0;
  char clock[48];
  std::snprintf(clock, sizeof clock, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return std::string(clock) + " (" + std::to_string(attempt) + ")";
}

}  // namespace quillo
