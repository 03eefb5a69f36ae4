// Points, grades and pass marks of a complete sheet: the points scale, the three grade
// thresholds in percent of the scale and the grade level a progressive sheet needs to pass.
#pragma once

#include <string>

namespace quillo {

struct Context;

struct PointsRules {
  int scale = 100;   // S: points of a sheet without first-try faults ("UpDo2_TauxUnites")
  int noteOne = 85;  // grade thresholds in percent of S ("UpDoNoteOne" .. "UpDoNoteThree")
  int noteTwo = 75;
  int noteThree = 60;
  int passLevel = 2;           // the grade level needed to pass ("UpDo_NoLevelSmile")
  bool alwaysContinue = true;  // a progressive practice never fails ("Cb_AlwaysContinueEvByFail")

  static PointsRules FromSettings(const Context& ctx);
};

// S * percent / 100, integer division; 100 when both S and percent are 0.
int ScaleThreshold(const PointsRules& rules, int percent);
// 0 for full points, 1 from the first threshold, 2 from the second, 4 below the third, else 3.
int GradeOf(const PointsRules& rules, int points);
// The points the pass level asks for: S, N1, N2 or N3 for levels 0 to 3; 0 for any other.
int PassPoints(const PointsRules& rules);
// T - round(T * PassPoints / S), halves away from zero; T itself when S is 0.
int AllowedFaults(const PointsRules& rules, int total);
// (T - F) * S / T, integer division; S for a sheet without fields.
int PointsOf(const PointsRules& rules, int total, int faults);
// Whether a complete progressive sheet with these first-try faults fails: faults other than 0
// above the allowed number (T itself when the practice always continues).
bool SheetFails(const PointsRules& rules, int total, int faults);
// "To pass you must have " + PassPoints + " points".
std::string PassMarkText(const PointsRules& rules);

}  // namespace quillo
