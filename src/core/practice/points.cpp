// Points, grades and pass marks.
#include "practice/points.h"

#include <cmath>

#include "setup/settings_store.h"

namespace quillo {

PointsRules PointsRules::FromSettings(const Context& ctx) {
  PointsRules rules;
  rules.scale = SettingInt(ctx, "UpDo2_TauxUnites");
  rules.noteOne = SettingInt(ctx, "UpDoNoteOne");
  rules.noteTwo = SettingInt(ctx, "UpDoNoteTwo");
  rules.noteThree = SettingInt(ctx, "UpDoNoteThree");
  rules.passLevel = SettingInt(ctx, "UpDo_NoLevelSmile");
  rules.alwaysContinue = SettingBool(ctx, "Cb_AlwaysContinueEvByFail");
  return rules;
}

int ScaleThreshold(const PointsRules& rules, int percent) {
  if (rules.scale == 0 && percent == 0) return 100;
  return rules.scale * percent / 100;
}

int GradeOf(const PointsRules& rules, int points) {
  if (points == rules.scale) return 0;
  if (points >= ScaleThreshold(rules, rules.noteOne)) return 1;
  if (points >= ScaleThreshold(rules, rules.noteTwo)) return 2;
  if (points < ScaleThreshold(rules, rules.noteThree)) return 4;
  return 3;
}

int PassPoints(const PointsRules& rules) {
  switch (rules.passLevel) {
    case 0:
      return rules.scale;
    case 1:
      return ScaleThreshold(rules, rules.noteOne);
    case 2:
      return ScaleThreshold(rules, rules.noteTwo);
    case 3:
      return ScaleThreshold(rules, rules.noteThree);
    default:
      return 0;
  }
}

int AllowedFaults(const PointsRules& rules, int total) {
  if (rules.scale == 0) return total;
  const double share = static_cast<double>(total) * PassPoints(rules) / rules.scale;
  return total - static_cast<int>(std::round(share));
}

int PointsOf(const PointsRules& rules, int total, int faults) {
  if (total <= 0) return rules.scale;
  return (total - faults) * rules.scale / total;
}

bool SheetFails(const PointsRules& rules, int total, int faults) {
  const int allowed = rules.alwaysContinue ? total : AllowedFaults(rules, total);
  return faults != 0 && faults > allowed;
}

std::string PassMarkText(const PointsRules& rules) {
  return "To pass you must have " + std::to_string(PassPoints(rules)) + " points";
}

}  // namespace quillo
