#include "setup/settings_store.h"

#include <algorithm>

#include "language/text_lookup.h"
#include "shell/codec.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

using K = SettingKind;

const std::vector<SettingDef> kTable = {
    {"CompQst", "Rb1_PerCor", K::kBool, 1, 1, 0, 1},
    {"CompQst", "Rb2_PerCor", K::kBool, 0, 0, 0, 1},
    {"CompQst", "Rb3_PerCor", K::kBool, 0, 0, 0, 1},
    {"CompQst", "Rb4_PerCor", K::kBool, 0, 0, 0, 1},
    {"CompQst", "UpDo1_RevFromNo", K::kInt, 3, 3, 1, 9},
    {"CompQst", "UpDo_InsResultAfter", K::kInt, 4, 4, 3, 9},
    {"CompQst", "UpDo2_TauxUnites", K::kInt, 100, 100, 20, 100},
    {"CompQst", "UpDoNoteOne", K::kInt, 85, 85, 1, 100},
    {"CompQst", "UpDoNoteTwo", K::kInt, 75, 75, 1, 100},
    {"CompQst", "UpDoNoteThree", K::kInt, 60, 60, 1, 100},
    {"DataManager", "CB_DelFinishAfter", K::kBool, 1, 1, 0, 1},
    {"DataManager", "CB_DelNotFinishAfter", K::kBool, 1, 1, 0, 1},
    {"DataManager", "CB_DelCreated", K::kBool, 1, 1, 0, 1},
    {"DataManager", "Cb_DelManuel", K::kBool, 0, 0, 0, 1},
    {"DataManager", "Cb_InsResultAfter", K::kBool, 1, 1, 0, 1},
    {"DataManager", "Cb_DelPractStat", K::kBool, 1, 1, 0, 1},
    {"DataManager", "Cb_DelManuelOnlyFinish", K::kBool, 0, 0, 0, 1},
    {"DataManager", "Upd_DelFinishAfter", K::kInt, 6, 6, 1, 365},
    {"DataManager", "Upd_DelNotFinishAfter", K::kInt, 21, 21, 1, 365},
    {"DataManager", "Upd_DelCreated", K::kInt, 18, 18, 1, 365},
    {"ModeQstSort", "RB_PoseQstMelanger", K::kBool, 1, 1, 0, 1},
    {"ModeQstSort", "RB_PoseQstNonMelanger", K::kBool, 0, 0, 0, 1},
    {"ModeQstSort", "UpDo_DistribuerQst", K::kInt, 4, 4, 1, 12},
    {"ModeSTP", "UpDo_stpNbrTitre", K::kInt, 3, 3, 1, 6},
    {"ModeSTP", "UpDo_stpMergeAfter", K::kInt, 3, 3, 1, 5},
    {"ModeSTP", "UpDo_NoLevelSmile", K::kInt, 2, 2, 0, 4},
    {"ModeSTP", "UpDo_stpNbrQstParTitre", K::kInt, 3, 3, 1, 8},
    {"ModeSTP", "Cb_MergeToHigh", K::kBool, 1, 1, 0, 1},
    {"ModeSTP", "Cb_AcceptMerge", K::kBool, 1, 1, 0, 1},
    {"ModeSTP", "Cb_AlwaysContinueEvByFail", K::kBool, 1, 1, 0, 1},
    {"ModeSTP", "Cb_ConFieldCorrect", K::kBool, 0, 0, 0, 1},
    {"ModeSTP", "ChForceToFastStepMerge", K::kBool, 0, 0, 0, 1},
    {"IntDisplay", "RB_AdvancedGenNo", K::kBool, 1, 1, 0, 1},
    {"IntDisplay", "RB_AdvancedGenYes", K::kBool, 0, 0, 0, 1},
    {"IntDisplay", "CoB_Lngs", K::kText, 0, 0, 0, 0},
    {"IntDisplay", "Cb_StayMouseInForm", K::kBool, 0, 0, 0, 1},
    {"IntDisplay", "Cb_ApplyProfUs", K::kBool, 0, 0, 0, 1},
    {"IntDisplay", "Cb_DisabProfUs", K::kBool, 1, 1, 0, 1},
    {"Date", "LDate", K::kDate, 0, 0, 0, 0},
    {"Time", "LTime", K::kTime, 0, 0, 0, 0},
    {"SavEmptyQst", "cbSaveEmptyToRevFiles", K::kBool, 1, 1, 0, 1},
    {"SavEmptyQst", "Cb_AutoGenByNewQST", K::kBool, 1, 1, 0, 1},
    {"SavEmptyQst", "Cb_InsResultAfter", K::kBool, 1, 1, 0, 1},
    {"Lang", "UpDo_iModeStar", K::kInt, 3, 3, 0, 4},
    {"Lang", "UpD_Lang_ToLookAt1", K::kInt, 2, 2, 0, 3},
    {"Lang", "UpD_Lang_TryToLookAt2", K::kInt, 0, 0, 0, 3},
    {"Lang", "UpD_Lang_ToFillIn3", K::kInt, 1, 1, 1, 3},
    {"Lang", "cb_Lang_ToLookAt1", K::kBool, 0, 0, 0, 1},
    {"Lang", "cb_Lang_TryToLookAt2", K::kBool, 0, 0, 0, 1},
    {"Lang", "CB_AllResultMouseClk", K::kBool, 0, 0, 0, 1},
    {"Lang", "Cb_Langs_ClozeTests", K::kBool, 1, 1, 0, 1},
    {"Lang", "CB_PlayMP", K::kBool, 1, 1, 0, 1},
    {"Lang", "CB_ShowSent", K::kBool, 1, 1, 0, 1},
    {"Lang", "CB_HideSent", K::kBool, 0, 0, 0, 1},
};

constexpr const char* kLanguageDefault = "Deutsch";

// Flags of which at most one is true.
const std::vector<std::vector<std::string>> kChoiceGroups = {
    {"Rb1_PerCor", "Rb2_PerCor", "Rb3_PerCor", "Rb4_PerCor"},
    {"RB_PoseQstMelanger", "RB_PoseQstNonMelanger"},
    {"RB_AdvancedGenNo", "RB_AdvancedGenYes"},
    {"Cb_ApplyProfUs", "Cb_DisabProfUs"},
    {"CB_ShowSent", "CB_HideSent"},
};

const char* const kAutoDeleteKeys[] = {"CB_DelFinishAfter", "CB_DelNotFinishAfter",
                                       "CB_DelCreated"};

// The distinct settings (the key table without the stamp rows and the second
// "Cb_InsResultAfter"), each with the row that defines it.
struct Layout {
  std::vector<const SettingDef*> slots;
  std::vector<std::size_t> rowSlot;  // per row of the table; npos for the stamp rows
};

const Layout& TheLayout() {
  static const Layout layout = [] {
    Layout l;
    for (const SettingDef& def : kTable) {
      if (def.kind == K::kDate || def.kind == K::kTime) {
        l.rowSlot.push_back(std::string::npos);
        continue;
      }
      std::size_t slot = 0;
      while (slot < l.slots.size() && !EqualsNoCase1252(l.slots[slot]->key, def.key)) ++slot;
      if (slot == l.slots.size()) l.slots.push_back(&def);
      l.rowSlot.push_back(slot);
    }
    return l;
  }();
  return layout;
}

std::size_t FindSlot(std::string_view key) {
  const Layout& l = TheLayout();
  for (std::size_t i = 0; i < l.slots.size(); ++i) {
    if (EqualsNoCase1252(l.slots[i]->key, key)) return i;
  }
  return std::string::npos;
}

SettingsStore& StoreOf(Context& ctx) {
  if (!ctx.settings) throw Error("The settings store is not available");
  return *ctx.settings;
}

}  // namespace

const char* const kSettingsSections[9] = {"CompQst",    "DataManager", "ModeQstSort",
                                          "ModeSTP",    "IntDisplay",  "Date",
                                          "Time",       "SavEmptyQst", "Lang"};

SettingsStore::SettingsStore() {
  const Layout& l = TheLayout();
  values_.resize(l.slots.size());
  for (std::size_t i = 0; i < l.slots.size(); ++i) {
    values_[i].number = l.slots[i]->readDefault;
    if (l.slots[i]->kind == K::kText) values_[i].text = kLanguageDefault;
  }
}

const std::vector<SettingDef>& SettingsStore::KeyTable() { return kTable; }

bool SettingsStore::HasKey(std::string_view key) { return FindSlot(key) != std::string::npos; }

std::size_t SettingsStore::Slot(std::string_view key, SettingKind kind) const {
  std::size_t slot = FindSlot(key);
  if (slot == std::string::npos) throw Error("Unknown setting: " + std::string(key));
  if (TheLayout().slots[slot]->kind != kind) {
    throw Error("Setting " + std::string(key) + " is not of the requested kind");
  }
  return slot;
}

bool SettingsStore::GetBool(std::string_view key) const {
  return values_[Slot(key, K::kBool)].number != 0;
}

int SettingsStore::GetInt(std::string_view key) const {
  return values_[Slot(key, K::kInt)].number;
}

std::string SettingsStore::GetText(std::string_view key) const {
  return values_[Slot(key, K::kText)].text;
}

void SettingsStore::SetBool(std::string_view key, bool value) {
  SetBoolAt(Slot(key, K::kBool), value);
}

void SettingsStore::SetBoolAt(std::size_t slot, bool value) {
  const std::string_view key = TheLayout().slots[slot]->key;
  bool old = values_[slot].number != 0;
  if (value && key == "cb_Lang_TryToLookAt2" && GetInt("UpD_Lang_ToLookAt1") == 0) value = false;
  values_[slot].number = value ? 1 : 0;
  if (key == "Cb_DelManuel" && old != value) {
    for (const char* k : kAutoDeleteKeys) values_[FindSlot(k)].number = value ? 0 : 1;
  }
  if (!value) return;
  for (const auto& group : kChoiceGroups) {
    if (std::find(group.begin(), group.end(), key) == group.end()) continue;
    for (const std::string& other : group) {
      if (other != key) values_[FindSlot(other)].number = 0;
    }
  }
}

void SettingsStore::SetInt(std::string_view key, int value) {
  std::size_t slot = Slot(key, K::kInt);
  const SettingDef& def = *TheLayout().slots[slot];
  values_[slot].number = std::clamp(value, def.min, def.max);
  if (values_[slot].number == 0 && EqualsNoCase1252(key, "UpD_Lang_ToLookAt1")) {
    SetBool("cb_Lang_TryToLookAt2", false);
  }
}

void SettingsStore::SetText(std::string_view key, std::string value) {
  values_[Slot(key, K::kText)].text = std::move(value);
}

bool SettingsStore::SameSettings(const SettingsStore& other) const {
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (values_[i].number != other.values_[i].number || values_[i].text != other.values_[i].text) {
      return false;
    }
  }
  return true;
}

void SettingsStore::LoadFrom(const IniFile& ini) {
  const Layout& l = TheLayout();
  for (std::size_t row = 0; row < kTable.size(); ++row) {
    const SettingDef& def = kTable[row];
    std::size_t slot = l.rowSlot[row];
    switch (def.kind) {
      case K::kBool:
        SetBoolAt(slot, ini.ReadBool(def.section, def.key, def.readDefault != 0));
        break;
      case K::kInt:
        SetInt(def.key, ini.ReadInteger(def.section, def.key, def.readDefault));
        break;
      case K::kText:
        values_[slot].text = ini.ReadString(def.section, def.key, kLanguageDefault);
        break;
      case K::kDate:
        lastLoginDate_ = ini.ReadDate(def.section, def.key, DateTime{1899, 12, 30, 12, 0, 0, 0});
        break;
      case K::kTime:
        lastLoginTime_ = ini.ReadTime(def.section, def.key, DateTime{1899, 12, 30, 0, 0, 0, 0});
        break;
    }
  }
}

void SettingsStore::WriteTo(IniFile& ini) const {
  const Layout& l = TheLayout();
  for (const char* section : kSettingsSections) {
    for (std::size_t row = 0; row < kTable.size(); ++row) {
      const SettingDef& def = kTable[row];
      if (std::string_view(def.section) != section) continue;
      switch (def.kind) {
        case K::kBool:
          ini.WriteBool(def.section, def.key, values_[l.rowSlot[row]].number != 0);
          break;
        case K::kInt:
          ini.WriteInteger(def.section, def.key, values_[l.rowSlot[row]].number);
          break;
        case K::kText:
          ini.WriteString(def.section, def.key, values_[l.rowSlot[row]].text);
          break;
        case K::kDate:
          ini.WriteString(def.section, def.key, openingDate_);
          break;
        case K::kTime:
          ini.WriteString(def.section, def.key, openingTime_);
          break;
      }
    }
  }
}

std::string SettingsStore::ToIniText() const {
  IniFile ini;
  WriteTo(ini);
  return ini.Text();
}

void SettingsStore::ApplyResetValues(std::string language) {
  const Layout& l = TheLayout();
  for (std::size_t slot = 0; slot < l.slots.size(); ++slot) {
    const SettingDef& def = *l.slots[slot];
    if (def.kind == K::kBool) SetBoolAt(slot, def.reset != 0);
    if (def.kind == K::kInt) SetInt(def.key, def.reset);
  }
  SetText("CoB_Lngs", std::move(language));
  masterField_.clear();
  checkUpdate_ = true;
}

void SettingsStore::SetOpeningStamp(std::string date, std::string time) {
  openingDate_ = std::move(date);
  openingTime_ = std::move(time);
}

void SettingsStore::SetOpeningStamp(const DateTime& now) {
  SetOpeningStamp(ShortDateText(now), LongTimeText(now));
}

std::string SettingsStore::LastLoginText() const {
  return "Last Login time : " + ShortDateText(lastLoginDate_) + "  " +
         LongTimeText(lastLoginTime_);
}

std::string SettingsStore::NewLoginText() const {
  return "New Login time : " + openingDate_ + "  " + openingTime_;
}

std::vector<std::string> SettingsStore::PointsTable(std::string_view pointsWord) const {
  const int total = GetInt("UpDo2_TauxUnites");
  const std::string word(pointsWord);
  std::vector<std::string> lines{std::to_string(total) + " " + word};
  for (const char* key : {"UpDoNoteOne", "UpDoNoteTwo", "UpDoNoteThree"}) {
    int n = GetInt(key);
    lines.push_back(std::to_string(total * n / 100) + " " + word + " (" + std::to_string(n) +
                    " %)");
  }
  return lines;
}

int SettingsStore::PointsToContinue() const {
  const int total = GetInt("UpDo2_TauxUnites");
  switch (GetInt("UpDo_NoLevelSmile")) {
    case 0: return total;
    case 1: return total * GetInt("UpDoNoteOne") / 100;
    case 2: return total * GetInt("UpDoNoteTwo") / 100;
    case 3: return total * GetInt("UpDoNoteThree") / 100;
    default: return 0;
  }
}

int SettingsStore::MaxTitlesAfterMerge() const {
  int n = GetInt("UpDo_stpNbrTitre");
  int m = GetInt("UpDo_stpMergeAfter");
  return m < 2 ? n : n + m - 1;
}

void SettingsStore::StepNoteThreshold(int which, int delta) {
  static const char* const keys[] = {"UpDoNoteOne", "UpDoNoteTwo", "UpDoNoteThree"};
  if (which < 1 || which > 3) return;
  SetInt(keys[which - 1], GetInt(keys[which - 1]) + delta);
  int one = GetInt("UpDoNoteOne"), two = GetInt("UpDoNoteTwo"), three = GetInt("UpDoNoteThree");
  if (which == 1) {
    if (two >= one) SetInt("UpDoNoteOne", one + 2);
  } else if (which == 2) {
    if (three >= two) SetInt("UpDoNoteTwo", two += 2);
    if (two >= one) SetInt("UpDoNoteTwo", two - 2);
  } else {
    if (three >= two) SetInt("UpDoNoteThree", three - 2);
  }
}

std::string HelpLetterKey(int mode) {
  if (mode < 0 || mode > 4) return "";
  return "svL60" + std::to_string(mode + 1);
}

std::string StepLanguageLabel(int language) {
  switch (language) {
    case 0: return "[None]";
    case 1: return "FR: ";
    case 2: return "DE: ";
    case 3: return "EN: ";
    default: return "";
  }
}

bool SettingBool(const Context& ctx, std::string_view key) {
  if (ctx.settings) return ctx.settings->GetBool(key);
  static const SettingsStore defaults;
  return defaults.GetBool(key);
}

int SettingInt(const Context& ctx, std::string_view key) {
  if (ctx.settings) return ctx.settings->GetInt(key);
  static const SettingsStore defaults;
  return defaults.GetInt(key);
}

std::string SettingText(const Context& ctx, std::string_view key) {
  if (ctx.settings) return ctx.settings->GetText(key);
  static const SettingsStore defaults;
  return defaults.GetText(key);
}

// --- Operations on the settings of a context ------------------------------------------------

void SettingsStartUp(Context& ctx) {
  StoreOf(ctx).SetOpeningStamp("01/01/01", "01:01:01");
  ReadStartupSettings(ctx);
  SeedGlobalSettings(ctx);
}

bool SeedGlobalSettings(const Context& ctx) {
  std::string target = ctx.folders.settingsDir + kMasterIni;
  if (FileExists(target)) return false;
  std::string source = ctx.folders.saveDir + kFactoryMasterIni;
  if (!FileExists(source)) return false;
  EnsureFolder(ctx.folders.settingsDir);
  return CopyFileOver(source, target);
}

bool ReadSettings(Context& ctx, std::string_view folder, std::string_view name) {
  SettingsStore& store = StoreOf(ctx);
  if (!FileExists(ctx.folders.settingsDir + kMasterIni)) {
    ResetDefaults(ctx);
    WriteSettings(ctx, ctx.folders.settingsDir, kMasterIni);
  }
  if (!FolderExists(ctx.folders.logDir)) EnsureFolder(ctx.folders.logDir);

  std::string readFolder(folder);
  bool existed = FileExists(readFolder + std::string(name));
  if (!existed) readFolder = ctx.folders.settingsDir;
  store.LoadFrom(IniFile(readFolder + std::string(name)));

  if (ctx.lookup) {
    std::string language = ctx.lookup->FindLanguage(store.GetText("CoB_Lngs"));
    store.SetText("CoB_Lngs", language);
    ctx.lookup->SetActiveLanguage(language);
  }
  store.SetMasterPasswordField(IniReadString(ctx.folders.settingsDir + kGlobalAccountIni,
                                             "Global", "Pass", store.MasterPasswordField()));
  store.SetProfile(readFolder, std::string(name));
  return existed;
}

void WriteSettings(Context& ctx, std::string_view folder, std::string_view name) {
  SettingsStore& store = StoreOf(ctx);
  EnsureFolder(folder);
  IniFile ini(WithSlash(folder) + std::string(name));
  store.WriteTo(ini);
  ini.Save();
  store.SetProfile(WithSlash(folder), std::string(name));
}

void ResetDefaults(Context& ctx) {
  std::string language = SystemLanguageName();
  if (ctx.lookup) language = ctx.lookup->FindLanguage(language);
  StoreOf(ctx).ApplyResetValues(language);
}

void ReadStartupSettings(Context& ctx) {
  SettingsStore& store = StoreOf(ctx);
  EnsureFolder(ctx.folders.settingsDir);
  std::string path = ctx.folders.settingsDir + kStartupIni;
  if (!FileExists(path)) WriteStartupSettings(ctx);
  IniFile ini(path);
  store.SetCheckUpdate(ini.ReadBool("IntDisplay", "Cb_CheckUpdate", true));
  store.SetIdxUpdate(ini.ReadString("Update", "IdxUpdate", "000000"));
}

void WriteStartupSettings(Context& ctx) {
  IniWriteBool(ctx.folders.settingsDir + kStartupIni, "IntDisplay", "Cb_CheckUpdate",
               StoreOf(ctx).CheckUpdate());
}

namespace {

bool AskSetup(Context& ctx, std::string_view key) {
  return ctx.msgBox && ctx.msgBox->Ask("Setup", MessageText(ctx, key));
}

}  // namespace

bool SaveToDefault(Context& ctx) {
  if (!AskSetup(ctx, "svL074")) return false;
  WriteSettings(ctx, ctx.folders.settingsDir, kMasterIni);
  return true;
}

bool RestoreSavedValues(Context& ctx) {
  if (!AskSetup(ctx, "svL075")) return false;
  ReadSettings(ctx, ctx.folders.settingsDir, kMasterIni);
  return true;
}

bool RestorePredeterminedValues(Context& ctx) {
  if (!AskSetup(ctx, "svL072")) return false;
  ResetDefaults(ctx);
  return true;
}

void WriteLogoutStamp(Context& ctx) {
  SettingsStore& store = StoreOf(ctx);
  IniFile ini(ctx.folders.settingsDir + kMasterIni);
  ini.WriteString("Date", "LDate", store.OpeningDate());
  ini.WriteString("Time", "LTime", store.OpeningTime());
  ini.Save();
  if (ctx.msgBox) {
    ctx.msgBox->Inform("Setup", MessageText(ctx, "svL071"),
                       store.OpeningDate() + " - " + store.OpeningTime());
  }
}

std::string ReadIniValue(std::string_view path, std::string_view section, std::string_view key,
                         int kind) {
  if (!FileExists(path)) return "";
  IniFile ini{std::string(path)};
  switch (kind) {
    case 1: return ini.ReadString(section, key, "");
    case 2: return std::to_string(ini.ReadInteger(section, key, 9));
    case 3: return ini.ReadBool(section, key, true) ? "-1" : "0";
    default: return "";
  }
}

bool UserProfileEnabled(std::string_view masterIniPath) {
  if (!FileExists(masterIniPath)) return false;
  return IniReadBool(masterIniPath, "IntDisplay", "Cb_ApplyProfUs", true);
}

}  // namespace quillo
