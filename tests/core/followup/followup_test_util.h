// Helpers of the follow-up tests: result files written with a given status line, and file
// times set to a given local time.
#pragma once

#include <utime.h>

#include <ctime>
#include <string>

#include "shell/conventions.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo::test {

// A plain result file of seven fields with the given line 2 (over 80 bytes).
inline std::string ResultText(const std::string& statusLine,
                              const std::string& sheet = "/sheets/sums.QST") {
  return JoinLines({"Ver.A 1.0;Arithmetic;00000000;UP.Y", statusLine,
                    "#[" + sheet +
                        "\xA6"
                        "Arithmetic\xA6"
                        "Additions]",
                    "#[1;2;3;4;5;6;7]", "#[;;;;;;]", "#[]", "1 + 0 = {1}", "1 + 1 = {2}",
                    "1 + 2 = {3}", "1 + 3 = {4}", "1 + 4 = {5}", "1 + 5 = {6}", "1 + 6 = {7}"});
}

// Sets the modification time of a file to a local date and time.
inline void SetFileTime(const std::string& path, const DateTime& when) {
  std::tm tm{};
  tm.tm_year = when.year - 1900;
  tm.tm_mon = when.month - 1;
  tm.tm_mday = when.day;
  tm.tm_hour = when.hour;
  tm.tm_min = when.minute;
  tm.tm_sec = when.second;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  utimbuf times{t, t};
  ::utime(SystemPath(path).c_str(), &times);
}

// The local time `days` (fractions allowed) before when.
inline DateTime DaysBefore(const DateTime& when, double days) {
  return FromSerial(ToSerial(when) - days);
}

}  // namespace quillo::test
