#include "engine/units.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "shell/error.h"
#include "support/error_text.h"

namespace quillo {
namespace {

using test::ErrorOf;

TEST(Units, ConversionsGiveResultTexts) {
  struct Case {
    const char* operand;
    const char* token;
    const char* result;
  } cases[] = {
      {"2,5", "#U(Conv;11;0;8;0)", "2500"},    // kilometres to metres
      {"1", "#U(Conv;122;0;120;0)", "1440"},   // days to minutes
      {"100", "#U(Conv;113;0;115;0)", "212"},  // Celsius to Fahrenheit
      {"212", "#U(Conv;115;0;113;0)", "100"},
      {"-40", "#U(Conv;113;0;115;0)", "-40"},
      {"0", "#U(Conv;113;0;114;0)", "273,15"},  // Kelvin
      {"0", "#U(Conv;113;0;116;0)", "491,67"},  // Rankine
      {"491,67", "#U(Conv;116;0;113;0)", "0"},
      {"100", "#U(Conv;113;0;117;0)", "80"},  // Reaumur
      {"80", "#U(Conv;117;0;113;0)", "100"},
      {"1", "#U(Conv;17;0;11;0)", "1,609344"},
      {"1", "#U(Conv;104;0;111;0)", "2,20462262184878"},
      {"1", "#U(Conv;46;0;38;0)", "0,01"},
      {"1", "#U(Conv;62;0;49;0)", "1000"},
      {"3", "#U(Conv;126;0;125;0)", "36"},
      {"0", "#U(Conv;130;0;131;0)", "2415018,5"},  // DateTime to Julian date
      {"0", "#U(Conv;130;0;132;0)", "15018"},
      {"2415020,75", "#U(Conv;131;0;130;0)", "2,25"},
      {"15018,25", "#U(Conv;132;0;122;0)", "0,25"},
      {"1", "#U(Conv;65537;0;8;0)", "0,000000000001"},  // low 16 bits: unit 1
      {"1", "#U(Conv;$B;0;8;0)", "1000"},
      {"3", "#U(Foo;11;0;8;0)", ""},  // another name: the empty text
      {"3", "#U(Conv;11;0;8;0;9)", "3000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertUnits(c.operand, c.token), c.result) << c.operand << " " << c.token;
  }
}

TEST(Units, FailuresCarryTheirMessage) {
  struct Case {
    std::string operand;
    const char* token;
    const char* message;
  } cases[] = {
      {"1", "#U(Conv;8;0;101;0)", "Incompatible conversion types [Meters, Grams]"},
      {"1", "#U(Conv;0;0;8;0)", "Incompatible conversion types [Illegal type, Meters]"},
      {"1", "#U(Conv;8;0;133;0)", "Incompatible conversion types [Meters, [$00000085]]"},
      {"1", "#U(Conv;-1;0;8;0)", "Incompatible conversion types [[$0000FFFF], Meters]"},
      {"1", "#U(Conv;11;0;8)", "'8)' is not a valid integer value"},
      {"1", "#U(Conv)", "'' is not a valid integer value"},
      {"x", "#U(Conv;11;0;8;0)", "'x' is not a valid floating point value"},
      {"x", "#U(Foo;11;0;8;0)", "'x' is not a valid floating point value"},
      {"1", "#U(Foo;a;0;8;0)", "'a' is not a valid integer value"},
      {"1000000000000", "#U(Conv;131;0;130;0)",
       "1000000000000,00 Julian cannot be represented as a DateTime"},
      {"-2400000", "#U(Conv;132;0;130;0)", "0,50 Julian cannot be represented as a DateTime"},
      {"1" + std::string(400, '0'), "#U(Conv;8;0;11;0)", "Floating point overflow"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { ConvertUnits(c.operand, c.token); }), c.message) << c.token;
  }
}

TEST(Units, RegistryHoldsSixFamiliesInNumberOrder) {
  // Neighbours convert into each other except across the end of a family.
  const std::set<int> lastOfFamily{31, 47, 95, 112, 117};
  for (int unit = 1; unit < kUnitCount; ++unit) {
    bool compatible = true;
    try {
      ConvertUnitValue(2451545, unit, unit + 1);
    } catch (const Error&) {
      compatible = false;
    }
    EXPECT_EQ(compatible, lastOfFamily.count(unit) == 0) << UnitDescription(unit);
  }
  std::set<std::string> names;
  for (int unit = 0; unit <= kUnitCount; ++unit) names.insert(UnitDescription(unit));
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kUnitCount) + 1);
  EXPECT_EQ(UnitDescription(0), "Illegal type");
  EXPECT_EQ(UnitDescription(8), "Meters");
  EXPECT_EQ(UnitDescription(132), "ModifiedJulianDate");
  EXPECT_EQ(UnitDescription(133), "[$00000085]");
}

TEST(Units, EveryFactorUnitRoundTripsThroughItsBase) {
  for (int unit = 1; unit <= kUnitCount; ++unit) {
    if (unit >= 114 && unit <= 117) continue;  // temperature formulas: checked above
    if (unit >= 131) continue;                 // Julian dates: checked above
    int base = unit <= 31    ? 8
               : unit <= 47  ? 35
               : unit <= 95  ? 51
               : unit <= 112 ? 101
               : unit <= 117 ? 113
                             : 122;
    double there = ConvertUnitValue(3, unit, base);
    EXPECT_NEAR(ConvertUnitValue(there, base, unit), 3, 1e-12) << UnitDescription(unit);
  }
  EXPECT_DOUBLE_EQ(ConvertUnitValue(1, 21, 8), 30856802484953068.0);  // Parsecs
  EXPECT_DOUBLE_EQ(ConvertUnitValue(1, 129, 122), 365250);            // Millennia
}

}  // namespace
}  // namespace quillo
