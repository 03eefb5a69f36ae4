#include "shell/seams.h"

#include <chrono>
#include <ctime>

namespace quillo {
namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

}  // namespace

int ScriptedMessageBox::ShowMsgBox(const std::string& title, const std::string& line1,
                                   const std::string& line2, int cancelPicture, int okPicture,
                                   int thirdPicture, int icon) {
  shown_.push_back(
      {Trim(title), Trim(line1), Trim(line2), cancelPicture, okPicture, thirdPicture, icon});
  if (!answers_.empty()) {
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return okPicture != kNoPicture ? kMsgOk : kMsgCancel;
}

DateTime SystemClock::Now() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min,         local.tm_sec,     static_cast<int>(ms.count())};
}

void FixedClock::AdvanceSeconds(double seconds) {
  now_ = FromSerial(ToSerial(now_) + seconds / 86400.0);
}

long double StdRandomSource::Next() {
  // 64 random bits scaled into [0, 1); the 64-bit mantissa of long double keeps them exact.
  return static_cast<long double>(engine_()) * 0x1p-64L;
}

void StdRandomSource::SeedFromClock() {
  if (fixed_) return;
  engine_.seed(static_cast<uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

}  // namespace quillo
