#include "engine/units.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/random_values.h"
#include "engine/text_toolkit.h"
#include "shell/conventions.h"
#include "shell/error.h"

namespace quillo {
namespace {

enum class Family { kNone, kDistance, kArea, kVolume, kMass, kTemperature, kTime };

// How a unit reaches its family's base unit: by a factor, or by a formula.
enum class Rule { kFactor, kKelvin, kFahrenheit, kRankine, kReaumur, kJulian, kModifiedJulian };

struct Unit {
  const char* name;
  Family family;
  double factor;
  Rule rule = Rule::kFactor;
};

constexpr Family D = Family::kDistance;
constexpr Family A = Family::kArea;
constexpr Family V = Family::kVolume;
constexpr Family M = Family::kMass;
constexpr Family T = Family::kTemperature;
constexpr Family H = Family::kTime;

// Index = unit number; entry 0 is the illegal unit.
const Unit kUnits[kUnitCount + 1] = {
    {"Illegal type", Family::kNone, 0},
    // Distance (base: Meters)
    {"Micromicrons", D, 1e-12},
    {"Angstroms", D, 1e-10},
    {"Millimicrons", D, 1e-9},
    {"Microns", D, 1e-6},
    {"Millimeters", D, 0.001},
    {"Centimeters", D, 0.01},
    {"Decimeters", D, 0.1},
    {"Meters", D, 1},
    {"Decameters", D, 10},
    {"Hectometers", D, 100},
    {"Kilometers", D, 1000},
    {"Megameters", D, 1e6},
    {"Gigameters", D, 1e9},
    {"Inches", D, 0.0254},
    {"Feet", D, 0.3048},
    {"Yards", D, 0.9144},
    {"Miles", D, 1609.344},
    {"NauticalMiles", D, 1852},
    {"AstronomicalUnits", D, 1.49598e11},
    {"LightYears", D, 9460528404879358.0},
    {"Parsecs", D, 30856802484953068.0},
    {"Cubits", D, 0.4572},
    {"Fathoms", D, 1.8288},
    {"Furlongs", D, 201.168},
    {"Hands", D, 0.1016},
    {"Paces", D, 0.762},
    {"Rods", D, 5.0292},
    {"Chains", D, 20.1168},
    {"Links", D, 0.201168},
    {"Picas", D, 0.0042175176},
    {"Points", D, 0.0003514598},
    // Area (base: SquareMeters)
    {"SquareMillimeters", A, 1e-6},
    {"SquareCentimeters", A, 0.0001},
    {"SquareDecimeters", A, 0.01},
    {"SquareMeters", A, 1},
    {"SquareDecameters", A, 100},
    {"SquareHectometers", A, 10000},
    {"SquareKilometers", A, 1e6},
    {"SquareInches", A, 0.00064516},
    {"SquareFeet", A, 0.09290304},
    {"SquareYards", A, 0.83612736},
    {"SquareMiles", A, 2589988.110336},
    {"Acres", A, 4046.8564224},
    {"Centares", A, 1},
    {"Ares", A, 100},
    {"Hectares", A, 10000},
    {"SquareRods", A, 25.29285264},
    // Volume (base: CubicMeters)
    {"CubicMillimeters", V, 1e-9},
    {"CubicCentimeters", V, 1e-6},
    {"CubicDecimeters", V, 0.001},
    {"CubicMeters", V, 1},
    {"CubicDecameters", V, 1000},
    {"CubicHectometers", V, 1e6},
    {"CubicKilometers", V, 1e9},
    {"CubicInches", V, 0.000016387064},
    {"CubicFeet", V, 0.028316846592},
    {"CubicYards", V, 0.764554857984},
    {"CubicMiles", V, 4168181825.4405794},
    {"MilliLiters", V, 1e-6},
    {"CentiLiters", V, 1e-5},
    {"DeciLiters", V, 1e-4},
    {"Liters", V, 0.001},
    {"DecaLiters", V, 0.01},
    {"HectoLiters", V, 0.1},
    {"KiloLiters", V, 1},
    {"AcreFeet", V, 1233.48183754752},
    {"AcreInches", V, 102.79015312896},
    {"Cords", V, 3.624556363776},
    {"CordFeet", V, 0.453069545472},
    {"Decisteres", V, 0.1},
    {"Steres", V, 1},
    {"Decasteres", V, 10},
    {"FluidGallons", V, 0.003785411784},
    {"FluidQuarts", V, 0.000946352946},
    {"FluidPints", V, 0.000473176473},
    {"FluidCups", V, 0.0002365882365},
    {"FluidGills", V, 0.00011829411825},
    {"FluidOunces", V, 0.0000295735295625},
    {"FluidTablespoons", V, 0.00001478676478125},
    {"FluidTeaspoons", V, 4.92892159375e-6},
    {"DryGallons", V, 0.00440488377086},
    {"DryQuarts", V, 0.001101220942715},
    {"DryPints", V, 0.0005506104713575},
    {"DryPecks", V, 0.00880976754172},
    {"DryBuckets", V, 0.01761953508344},
    {"DryBushels", V, 0.03523907016688},
    {"UKGallons", V, 0.00454609},
    {"UKPottle", V, 0.002273045},
    {"UKQuarts", V, 0.0011365225},
    {"UKPints", V, 0.00056826125},
    {"UKGill", V, 0.0001420653125},
    {"UKOunces", V, 0.0000284130625},
    {"UKPecks", V, 0.00909218},
    {"UKBuckets", V, 0.01818436},
    {"UKBushels", V, 0.03636872},
    // Mass (base: Grams)
    {"Nanograms", M, 1e-9},
    {"Micrograms", M, 1e-6},
    {"Milligrams", M, 0.001},
    {"Centigrams", M, 0.01},
    {"Decigrams", M, 0.1},
    {"Grams", M, 1},
    {"Decagrams", M, 10},
    {"Hectograms", M, 100},
    {"Kilograms", M, 1000},
    {"MetricTons", M, 1e6},
    {"Drams", M, 1.7718451953125},
    {"Grains", M, 0.06479891},
    {"Tons", M, 907184.74},
    {"LongTons", M, 1016046.9088},
    {"Ounces", M, 28.349523125},
    {"Pounds", M, 453.59237},
    {"Stones", M, 6350.29318},
    // Temperature (base: Celsius)
    {"Celsius", T, 1},
    {"Kelvin", T, 0, Rule::kKelvin},
    {"Fahrenheit", T, 0, Rule::kFahrenheit},
    {"Rankine", T, 0, Rule::kRankine},
    {"Reaumur", T, 0, Rule::kReaumur},
    // Time (base: Days)
    {"MilliSeconds", H, 1.0 / 86400000},
    {"Seconds", H, 1.0 / 86400},
    {"Minutes", H, 1.0 / 1440},
    {"Hours", H, 1.0 / 24},
    {"Days", H, 1},
    {"Weeks", H, 7},
    {"Fortnights", H, 14},
    {"Months", H, 30.4375},
    {"Years", H, 365.25},
    {"Decades", H, 10 * 365.25},
    {"Centuries", H, 100 * 365.25},
    {"Millennia", H, 1000 * 365.25},
    {"DateTime", H, 1},
    {"JulianDate", H, 0, Rule::kJulian},
    {"ModifiedJulianDate", H, 0, Rule::kModifiedJulian},
};

// The Julian date of the day count origin, 30 December 1899 00:00.
constexpr double kJulianOfDayZero = 2415018.5;
constexpr double kModifiedJulianOffset = 2400000.5;

double FahrenheitToCelsius(double f) { return (f - 32) * 5 / 9; }
double CelsiusToFahrenheit(double c) { return c * 9 / 5 + 32; }

// A day count (the fraction being the time of day, counted forwards even before day 0) as a
// Julian date.
double DateTimeToJulian(double dateTime) {
  double day = std::trunc(dateTime);
  double time = std::fabs(dateTime - day);
  return day + kJulianOfDayZero + time;
}

double JulianToDateTime(double julian) {
  static const double kFirstDay = ToSerial(DateTime{1, 1, 1});
  static const double kLastDay = ToSerial(DateTime{9999, 12, 31});
  double days = julian - kJulianOfDayZero;
  double day = std::floor(days);
  if (!std::isfinite(days) || day < kFirstDay || day > kLastDay) {
    throw Error(FormatFixed(julian, 2, false) + " Julian cannot be represented as a DateTime");
  }
  double time = days - day;
  return day >= 0 ? day + time : day - time;
}

double ToBase(const Unit& unit, double value) {
  switch (unit.rule) {
    case Rule::kFactor:
      return value * unit.factor;
    case Rule::kKelvin:
      return value - 273.15;
    case Rule::kFahrenheit:
      return FahrenheitToCelsius(value);
    case Rule::kRankine:
      return FahrenheitToCelsius(value - 459.67);
    case Rule::kReaumur:
      return FahrenheitToCelsius(value * 9 / 4 + 32);
    case Rule::kJulian:
      return JulianToDateTime(value);
    case Rule::kModifiedJulian:
      return JulianToDateTime(value + kModifiedJulianOffset);
  }
  return value;
}

double FromBase(const Unit& unit, double value) {
  switch (unit.rule) {
    case Rule::kFactor:
      return value / unit.factor;
    case Rule::kKelvin:
      return value + 273.15;
    case Rule::kFahrenheit:
      return CelsiusToFahrenheit(value);
    case Rule::kRankine:
      return CelsiusToFahrenheit(value) + 459.67;
    case Rule::kReaumur:
      return (CelsiusToFahrenheit(value) - 32) * 4 / 9;
    case Rule::kJulian:
      return DateTimeToJulian(value);
    case Rule::kModifiedJulian:
      return DateTimeToJulian(value) - kModifiedJulianOffset;
  }
  return value;
}

bool IsUnit(int number) { return number >= 1 && number <= kUnitCount; }

}  // namespace

std::string UnitDescription(int64_t number) {
  if (number >= 0 && number <= kUnitCount) return kUnits[number].name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "[$%08X]", static_cast<unsigned>(number & 0xFFFFFFFF));
  return buf;
}

double ConvertUnitValue(double value, int from, int to) {
  if (!IsUnit(from) || !IsUnit(to) || kUnits[from].family != kUnits[to].family) {
    throw Error("Incompatible conversion types [" + UnitDescription(from) + ", " +
                UnitDescription(to) + "]");
  }
  double base = ToBase(kUnits[from], value);
  double result = FromBase(kUnits[to], base);
  if (std::isinf(result)) throw Error("Floating point overflow");
  if (std::isnan(result)) throw Error("Invalid floating point operation");
  return result;
}

std::string ConvertUnits(std::string_view operand, std::string_view token) {
  std::size_t open = token.find('(');
  std::size_t semicolon = token.find(';');
  std::string_view name;
  if (open != std::string_view::npos && semicolon != std::string_view::npos && semicolon > open) {
    name = token.substr(open + 1, semicolon - open - 1);
  }
  int from = static_cast<int>(TextToInt(GetField(token, ";", 2)) & 0xFFFF);
  int to = static_cast<int>(TextToInt(GetField(token, ";", 4)) & 0xFFFF);
  long double value = TextToFloat(operand);
  if (name != "Conv") return "";
  if (std::fabs(value) > static_cast<long double>(std::numeric_limits<double>::max())) {
    throw Error("Floating point overflow");
  }
  return FormatResult(ConvertUnitValue(static_cast<double>(value), from, to));
}

}  // namespace quillo
