// The settings of the run: one record of every behaviour switch, addressed by its INI key name,
// loaded whole from and saved whole to "Master.ini" and the profile files; also "Startup.ini",
// the small INI value reader other parts use, and the values the set-up window derives from
// the settings for display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/ini_file.h"
#include "shell/conventions.h"

namespace quillo {

struct Context;

enum class SettingKind { kBool, kInt, kText, kDate, kTime };

// One row of the key table, in file order. Integers are clamped to min..max.
struct SettingDef {
  const char* section;
  const char* key;
  SettingKind kind;
  int readDefault;  // bool (0/1) or integer read when the key is missing
  int reset;        // value put in by ResetDefaults
  int min;
  int max;
};

// Section order of a written settings file.
extern const char* const kSettingsSections[9];

// Names of the settings files.
inline constexpr const char* kMasterIni = "Master.ini";
inline constexpr const char* kFactoryMasterIni = "_Master.ini";
inline constexpr const char* kStartupIni = "Startup.ini";
inline constexpr const char* kGlobalAccountIni = "LastgFile.ini";

class SettingsStore {
 public:
  // A record holding the read defaults of every key and the start-up opening stamp
  // "01/01/01" "01:01:01".
  SettingsStore();

  // Every row of the key table in file order ("Cb_InsResultAfter" appears twice, [Date] LDate
  // and [Time] LTime are the set-up opening stamp).
  static const std::vector<SettingDef>& KeyTable();
  // True when key names a setting (letter case ignored).
  static bool HasKey(std::string_view key);

  // --- Settings by key name (letter case ignored). A wrong key or kind throws Error. --------
  bool GetBool(std::string_view key) const;
  int GetInt(std::string_view key) const;
  std::string GetText(std::string_view key) const;
  // Setting a flag of a choice group to true clears the others of its group; "Cb_DelManuel"
  // changing its value sets the three automatic-delete flags to the opposite;
  // "cb_Lang_TryToLookAt2" cannot be true while "UpD_Lang_ToLookAt1" is 0.
  void SetBool(std::string_view key, bool value);
  // Clamped to the key's range.
  void SetInt(std::string_view key, int value);
  void SetText(std::string_view key, std::string value);

  // True when both records hold the same value for every setting.
  bool SameSettings(const SettingsStore& other) const;

  // --- File form ------------------------------------------------------------------------
  // Reads every key in table order through the setters (missing or bad values take the read
  // defaults), and the last-login stamp from [Date] and [Time]. "CoB_Lngs" is taken as read.
  void LoadFrom(const IniFile& ini);
  // Writes every key, section by section in kSettingsSections order; booleans as "1"/"0";
  // [Date] LDate and [Time] LTime get the set-up opening stamp.
  void WriteTo(IniFile& ini) const;
  // The text of a new file written by WriteTo.
  std::string ToIniText() const;
  // Puts in the reset values (through the setters), empties the master password field, sets
  // the update check and selects language as interface language. The stamps stay.
  void ApplyResetValues(std::string language);

  // --- Values not in the key table ---------------------------------------------------------
  // The set-up opening stamp, as short date and long time texts.
  const std::string& OpeningDate() const { return openingDate_; }
  const std::string& OpeningTime() const { return openingTime_; }
  void SetOpeningStamp(std::string date, std::string time);
  void SetOpeningStamp(const DateTime& now);
  // The stamp last read from [Date] LDate and [Time] LTime.
  const DateTime& LastLoginDate() const { return lastLoginDate_; }
  const DateTime& LastLoginTime() const { return lastLoginTime_; }
  // The master password field of the set-up window (the stored value of [Global] Pass).
  const std::string& MasterPasswordField() const { return masterField_; }
  void SetMasterPasswordField(std::string value) { masterField_ = std::move(value); }
  // "Startup.ini": the update check switch and the update status.
  bool CheckUpdate() const { return checkUpdate_; }
  void SetCheckUpdate(bool value) { checkUpdate_ = value; }
  const std::string& IdxUpdate() const { return idxUpdate_; }
  void SetIdxUpdate(std::string value) { idxUpdate_ = std::move(value); }
  // The folder and file name last read or written (for the profile label).
  const std::string& ProfileFolder() const { return profileFolder_; }
  const std::string& ProfileFile() const { return profileFile_; }
  void SetProfile(std::string folder, std::string file) {
    profileFolder_ = std::move(folder);
    profileFile_ = std::move(file);
  }

  // --- Values derived for display ----------------------------------------------------------
  // "Last Login time : " + date + two spaces + time of the stamp last read.
  std::string LastLoginText() const;
  // "New Login time : " + date + two spaces + time of the opening stamp.
  std::string NewLoginText() const;
  // The four lines of the points table: T + " " + word, then for each smiley threshold N
  // (T * N / 100) + " " + word + " (" + N + " %)".
  std::vector<std::string> PointsTable(std::string_view pointsWord) const;
  // Points needed to continue at the smiley level "UpDo_NoLevelSmile".
  int PointsToContinue() const;
  // Highest number of titles of a progressive sheet after merging.
  int MaxTitlesAfterMerge() const;
  // The two sentence choices are usable only while the phrase is played.
  bool SentenceChoicesEnabled() const { return GetBool("CB_PlayMP"); }
  // Steps a smiley threshold (1, 2 or 3) by delta and keeps the three ordered as the set-up
  // window does.
  void StepNoteThreshold(int which, int delta);

 private:
  struct Value {
    int number = 0;
    std::string text;
  };
  std::size_t Slot(std::string_view key, SettingKind kind) const;
  void SetBoolAt(std::size_t slot, bool value);

  std::vector<Value> values_;  // one per distinct key, in key order
  std::string openingDate_ = "01/01/01";
  std::string openingTime_ = "01:01:01";
  DateTime lastLoginDate_{1899, 12, 30, 12, 0, 0, 0};
  DateTime lastLoginTime_{1899, 12, 30, 0, 0, 0, 0};
  std::string masterField_;
  bool checkUpdate_ = true;
  std::string idxUpdate_ = "000000";
  std::string profileFolder_;
  std::string profileFile_;
};

// The key of the help-letter description of a help-letter mode 0..4 ("svL601".."svL605").
std::string HelpLetterKey(int mode);
// The label of a phrase-book language number: "[None]", "FR: ", "DE: ", "EN: "; "" otherwise.
std::string StepLanguageLabel(int language);

// A setting of the context's store by key name; the key's read default when the context has no
// store (so code under test runs without one). A wrong key or kind throws Error.
bool SettingBool(const Context& ctx, std::string_view key);
int SettingInt(const Context& ctx, std::string_view key);
std::string SettingText(const Context& ctx, std::string_view key);

// --- Operations on the settings of a context (ctx.settings must be set; ctx.lookup may be
// null, then language names are taken as they are) ----------------------------------------

// Loads the record from folder + name, or from SettingsDir + name when that does not exist;
// true when folder + name existed. Seeds a missing SettingsDir "Master.ini" with the reset
// values first, creates LogDir when missing, selects the language named by "CoB_Lngs" (no
// language when it is not listed) and makes it the active language, and fills the master
// password field from "LastgFile.ini".
bool ReadSettings(Context& ctx, std::string_view folder, std::string_view name);
// Saves the record to folder + name (folders created as needed), keeping any other lines of an
// existing file. Throws Error when the file cannot be written; the record is unchanged.
void WriteSettings(Context& ctx, std::string_view folder, std::string_view name);
// Puts the reset values into the record, the interface language being the system's (or none
// when the system's language is not listed).
void ResetDefaults(Context& ctx);

// "Startup.ini" in SettingsDir: reading writes the file first when it is missing.
void ReadStartupSettings(Context& ctx);
void WriteStartupSettings(Context& ctx);

// The settings start-up of the program: the opening stamp "01/01/01" "01:01:01", "Startup.ini"
// read, and the global "Master.ini" seeded from the factory copy when it is missing.
void SettingsStartUp(Context& ctx);

// Copies SaveDir "_Master.ini" to SettingsDir "Master.ini" when the latter is missing (the
// settings start-up); true when a copy was made.
bool SeedGlobalSettings(const Context& ctx);

// The set-up window's actions on the global file, each asked first (title "Setup", Cancel and
// OK); true when the answer was OK and the action ran.
bool SaveToDefault(Context& ctx);               // WriteSettings(SettingsDir, "Master.ini")
bool RestoreSavedValues(Context& ctx);          // ReadSettings(SettingsDir, "Master.ini")
bool RestorePredeterminedValues(Context& ctx);  // ResetDefaults, nothing written
// On leaving the set-up window: writes the opening stamp to [Date] LDate and [Time] LTime of
// SettingsDir "Master.ini" and shows "Logout stamp !" with date + " - " + time.
void WriteLogoutStamp(Context& ctx);

// One value of an INI file as text: kind 1 text (default ""), kind 2 integer as decimal text
// (default 9), kind 3 boolean as "-1" or "0" (default true); "" for every kind when the file
// does not exist, and for an unknown kind.
std::string ReadIniValue(std::string_view path, std::string_view section, std::string_view key,
                         int kind);

// False when the file does not exist; otherwise its [IntDisplay] Cb_ApplyProfUs (default true).
bool UserProfileEnabled(std::string_view masterIniPath);

}  // namespace quillo
