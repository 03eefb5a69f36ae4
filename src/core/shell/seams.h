// The small interfaces through which core asks the front end for what it cannot do itself:
// the message box, the status line, the busy cursor, the progress worker, the clock and the
// random source. The desktop program implements them with windows, tests and the command line
// with the scripted and system implementations declared here.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "shell/conventions.h"

namespace quillo {

// Picture numbers of the shared picture list used by message boxes. kNoPicture hides a button.
enum MsgPicture : int {
  kPicOk = 0,
  kPicCancel = 1,
  kPicThird = 2,
  kIconInfo = 3,
  kIconWarning = 4,
  kNoPicture = 255,
};

// Results of a message box.
enum MsgResult : int { kMsgOk = 1, kMsgCancel = 2, kMsgThird = 3 };

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  // Shows a modal box with a title, two lines and up to three picture buttons (each present only
  // when its picture is not kNoPicture). Returns 1 for OK, 2 for Cancel or close, 3 for the
  // third button.
  virtual int ShowMsgBox(const std::string& title, const std::string& line1,
                         const std::string& line2, int cancelPicture, int okPicture,
                         int thirdPicture, int icon) = 0;

  // The three combinations in use.
  void Inform(const std::string& title, const std::string& line1, const std::string& line2 = "") {
    ShowMsgBox(title, line1, line2, kNoPicture, kPicOk, kNoPicture, kIconInfo);
  }
  void Warn(const std::string& title, const std::string& line1, const std::string& line2 = "") {
    ShowMsgBox(title, line1, line2, kNoPicture, kPicOk, kNoPicture, kIconWarning);
  }
  // A question with Cancel and OK: true only when the answer is OK.
  bool Ask(const std::string& title, const std::string& line1, const std::string& line2 = "") {
    return ShowMsgBox(title, line1, line2, kPicCancel, kPicOk, kNoPicture, kIconWarning) == kMsgOk;
  }
};

// One message box as it was shown, after the trimming of its texts.
struct ShownMessage {
  std::string title;
  std::string line1;
  std::string line2;
  int cancelPicture = kNoPicture;
  int okPicture = kNoPicture;
  int thirdPicture = kNoPicture;
  int icon = kNoPicture;
};

// A message box that records what it was asked and answers from a queue; when the queue is
// empty it answers OK when an OK button is present and 2 (Cancel/close) otherwise.
class ScriptedMessageBox : public MessageBox {
 public:
  int ShowMsgBox(const std::string& title, const std::string& line1, const std::string& line2,
                 int cancelPicture, int okPicture, int thirdPicture, int icon) override;
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<ShownMessage>& Shown() const { return shown_; }
  void Clear() { shown_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<ShownMessage> shown_;
};

// The status line of the practice window: a message, optionally flashed.
class StatusLine {
 public:
  virtual ~StatusLine() = default;
  virtual void StatusMessage(const std::string& text, bool flash) = 0;
};

// The busy cursor around long operations.
class BusyIndicator {
 public:
  virtual ~BusyIndicator() = default;
  virtual void SetBusy(bool busy) = 0;
};

// The progress worker window of long operations.
class ProgressWorker {
 public:
  virtual ~ProgressWorker() = default;
  virtual void Start(const std::string& title, const std::string& text) = 0;
  virtual void Step(const std::string& current) = 0;
  virtual void Stop() = 0;
};

// Front-end parts that do nothing (tests, the command line).
class NullStatusLine : public StatusLine {
 public:
  void StatusMessage(const std::string& text, bool flash) override {
    last = text;
    lastFlash = flash;
  }
  std::string last;
  bool lastFlash = false;
};
class NullBusyIndicator : public BusyIndicator {
 public:
  void SetBusy(bool) override {}
};
class NullProgressWorker : public ProgressWorker {
 public:
  void Start(const std::string&, const std::string&) override {}
  void Step(const std::string& current) override { steps.push_back(current); }
  void Stop() override {}
  std::vector<std::string> steps;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() = 0;
};

// The local time of the machine.
class SystemClock : public Clock {
 public:
  DateTime Now() override;
};

// A clock that stands still until it is set or advanced; for tests.
class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime now = {2024, 3, 7, 14, 5, 9, 0}) : now_(now) {}
  DateTime Now() override { return now_; }
  void Set(const DateTime& now) { now_ = now; }
  void AdvanceSeconds(double seconds);

 private:
  DateTime now_;
};

// The process-wide uniform random source: reals in [0, 1).
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual long double Next() = 0;
  virtual void Seed(uint64_t seed) = 0;
  // Seeds from the clock, unless the source was fixed by a deterministic seed.
  virtual void SeedFromClock() = 0;
};

// A Mersenne-twister source. After FixSeed(s) the clock seeding is ignored, so a test or the
// "--seed" option of the command line makes a whole run reproducible.
class StdRandomSource : public RandomSource {
 public:
  StdRandomSource() : engine_(5489u) {}
  long double Next() override;
  void Seed(uint64_t seed) override { engine_.seed(seed); }
  void SeedFromClock() override;
  void FixSeed(uint64_t seed) {
    fixed_ = true;
    Seed(seed);
  }

 private:
  std::mt19937_64 engine_;
  bool fixed_ = false;
};

}  // namespace quillo
