// Helpers of the practice session tests: plain sheet files written into a test data tree, and a
// session over them that types answers the way a pupil does (key by key) and keeps mirrors of
// the sheet and log views up to date from the reported edits only.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "practice/practice_session.h"
#include "practice_test_util.h"
#include "setup/settings_store.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo::test {

inline constexpr const char* kPlainHeader = "Ver.A 1.0;Arithmetic;00000000;UP.Y";

// The text of a plain sheet as generation writes it.
inline std::string SheetText(const std::vector<std::string>& questions,
                             const std::string& path = "sheet.QST",
                             const std::string& wordBank = "  ",
                             const std::string& header = kPlainHeader) {
  std::vector<std::string> lines = {header,
                                    "#[0/0/0/-1;s;0;0]",
                                    "#[" + path +
                                        "\xA6"
                                        "Arithmetic\xA6"
                                        "Additions]",
                                    "#[]",
                                    "#[]",
                                    "#[" + wordBank + "]"};
  lines.insert(lines.end(), questions.begin(), questions.end());
  return JoinLines(lines);
}

// A test data tree with a user folder and a session for that user; modes and rules set through
// SetRules. Each edit the session reports is replayed on the mirrors.
struct SessionFixture {
  TestContext tc;
  SettingsStore store;
  std::string user;
  PracticeSession session;
  std::unique_ptr<Mirror> sheetView;
  std::unique_ptr<Mirror> logView;

  SessionFixture() : user(tc.ctx.folders.UserFolder("pupil")), session(tc.ctx, user) {
    tc.ctx.settings = &store;
    EnsureFolder(user);
  }

  // Chooses the correction mode in the user's own settings, as the set-up window does (leaving a
  // sheet reads them again).
  void ChooseMode(CorrectionMode mode) {
    static const char* const keys[] = {"Rb1_PerCor", "Rb2_PerCor", "Rb3_PerCor", "Rb4_PerCor"};
    store.SetBool(keys[static_cast<int>(mode)], true);
    WriteSettings(tc.ctx, user, kMasterIni);
  }

  std::string WriteSheet(const std::string& name, const std::vector<std::string>& questions,
                         const std::string& wordBank = "  ") {
    const std::string path = tc.dir.Path() + "appdata/sheets/" + name;
    tc.dir.Write("appdata/sheets/" + name, SheetText(questions, path, wordBank));
    return path;
  }

  void Mirrors() {
    sheetView = std::make_unique<Mirror>(session.Editor().Sheet());
    logView = std::make_unique<Mirror>(session.Editor().Log());
  }

  // Opens a sheet of the questions fresh with the mode chosen in the settings, then puts in the
  // other rules as given.
  void Open(const std::vector<std::string>& questions, CorrectionMode mode,
            PracticeRules rules = {}, const std::string& name = "sheet.QST") {
    ChooseMode(mode);
    ASSERT_TRUE(session.OpenFresh(WriteSheet(name, questions)));
    rules.mode = mode;
    session.SetRules(rules);
    Mirrors();
  }

  void Apply(const SessionChange& change) {
    if (sheetView) sheetView->Apply(change.sheetEdits);
    if (logView) logView->Apply(change.logEdits);
    EXPECT_EQ(change.caret, session.Editor().Caret());
  }

  // Erases field k key by key and types the text into it.
  void Type(int k, const std::string& text) {
    PracticeEditor& editor = session.Editor();
    editor.GoToField(k);
    const FieldSpan span = FieldSpanOf(editor.Sheet(), k);
    for (int i = span.begin; i < span.end; ++i) Press(Key::Of(KeyCode::Delete));
    for (char ch : text) Press(Key::Char(ch));
  }

  PracticeSession::KeyResult Press(const Key& key) {
    PracticeSession::KeyResult result = session.HandleKey(key);
    if (sheetView) sheetView->Apply(result.key.edits);
    if (result.checked) Apply(result.check);
    return result;
  }

  // Types the text into field k and presses Enter there.
  PracticeSession::KeyResult Answer(int k, const std::string& text) {
    Type(k, text);
    return Press(Key::Of(KeyCode::Enter));
  }

  void ExpectMirrorsMatch() {
    if (sheetView) {
      EXPECT_TRUE(sheetView->Matches(session.Editor().Sheet()));
    }
    if (logView) {
      EXPECT_TRUE(logView->Matches(session.Editor().Log()));
    }
  }

  std::vector<std::string> Histories() const {
    return quillo::FieldContents(session.Editor().Log());
  }
  int CaretField() const {
    const PracticeEditor& editor = session.Editor();
    return editor.Place(editor.Caret()).inside ? editor.FieldAt(editor.Caret()).index : -1;
  }
  // 'r' red, 'g' green, 'b' blue (typed), '-' anything else, for the content of every field.
  std::string Colours() const {
    std::string out;
    const SheetDocument& doc = session.Editor().Sheet();
    for (const FieldSpan& span : FieldSpans(doc)) {
      const std::string content = doc.Text().substr(
          static_cast<std::size_t>(span.begin), static_cast<std::size_t>(span.end - span.begin));
      // The colour of the first non-space character of the content.
      char c = '-';
      for (int i = span.begin; i < span.end; ++i) {
        if (doc.ByteAt(i) == ' ') continue;
        const Rgb colour = doc.FormatAt(i).colour;
        c = colour == kRed ? 'r' : colour == kGreen ? 'g' : colour == kBlue ? 'b' : '-';
        break;
      }
      out.push_back(c);
    }
    return out;
  }
  std::vector<uint32_t> Faults() const {
    std::vector<uint32_t> out;
    for (const TG_EdRTrue& e : session.Editor().ExpectedAnswers()) out.push_back(e.FaultCount);
    return out;
  }
  std::string Read(const std::string& path) const {
    std::string data;
    ReadWholeFile(path, data);
    return data;
  }
  std::vector<std::string> Lines(const std::string& path) const { return SplitLines(Read(path)); }
};

}  // namespace quillo::test
