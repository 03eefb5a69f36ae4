// The measurement units behind the conversion tokens of templates ("#U(Conv;11;0;8;0)" turns
// the number before it from kilometres into metres): a fixed registry of 132 units in six
// families (distance, area, volume, mass, temperature, time), numbered from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillo {

// The highest unit number; number 0 is the illegal unit.
constexpr int kUnitCount = 132;

// The description of a unit number: its name ("Kilometers"), "Illegal type" for 0, and
// "[$" + eight upper-case hexadecimal digits + "]" for a number without a unit.
std::string UnitDescription(int64_t number);

// value converted from unit `from` to unit `to` (through the base unit of their family, each
// step in double precision). Throws "Incompatible conversion types [%s, %s]" unless both name
// units of one family, and "%f Julian cannot be represented as a DateTime" for a Julian date
// outside the calendar.
double ConvertUnitValue(double value, int from, int to);

// The conversion behind a "#" token "#" text "(" name ";" from ";" x ";" to ";" ...: fields 2
// and 4 are read as integers (low 16 bits: the unit numbers) and the operand as a number; with
// the name "Conv" the converted value is written as a result text, any other name gives the
// empty text. Throws the conversion errors of unreadable fields and of ConvertUnitValue.
std::string ConvertUnits(std::string_view operand, std::string_view token);

}  // namespace quillo
