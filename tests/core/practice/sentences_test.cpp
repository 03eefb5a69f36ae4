#include "practice/sentences.h"

#include <gtest/gtest.h>

#include <set>

#include "books/generator.h"
#include "media_test_util.h"
#include "practice/media_builder.h"
#include "practice/media_library.h"
#include "practice/practice_editor.h"
#include "practice/sheet_render.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

TEST(SentenceOptions, ReadsTheOptionTextByPosition) {
  struct Case {
    const char* text;
    bool sentence, keyboard, answers;
  } cases[] = {
      {"SpPhA000", true, true, true},   {"Sp00A000", true, false, true},
      {"00PhB000", false, true, false}, {"SpPhA00", false, false, false},  // too short
      {"", false, false, false},        {"spphA000", false, false, true},  // case counts
  };
  for (const Case& c : cases) {
    const SentenceOptions o = ReadSentenceOptions(c.text);
    EXPECT_EQ(o.sentencePractice, c.sentence) << c.text;
    EXPECT_EQ(o.keyboard, c.keyboard) << c.text;
    EXPECT_EQ(o.answerList, c.answers) << c.text;
  }
}

TEST(PrepareAnswerList, OffersEveryExpectedAnswerOnlyWhenAskedFor) {
  PracticeEditor editor;
  editor.RenderSheet({"{chat} et {chien}", "{chat} {arbre}"});
  EXPECT_TRUE(PrepareAnswerList(editor, "SpPhA000", true));
  EXPECT_EQ(editor.AnswerList(), (std::vector<std::string>{"arbre", "chat", "chien"}));
  using Switches = std::vector<std::pair<const char*, bool>>;
  for (auto [option, setting] : Switches{{"SpPhA000", false}, {"SpPh0000", true}, {"A", true}}) {
    EXPECT_FALSE(PrepareAnswerList(editor, option, setting)) << option;
    EXPECT_TRUE(editor.AnswerList().empty()) << option;
  }
}

// Question lines as generation writes them for a sentence title: a heading, then each sentence
// with its language labels, the hints before the fields and the grey bracketed parts.
const std::vector<std::string> kSheetLines = {
    "#ChB$Phrases;Fran\xE7"
    "ais;Deutsch;English",
    "#FoPur_DE: $ Die Katze schl\xE4"
    "ft.#Ch13$#FoPur_FR: $ #FoPur_ [L*] $ {Le} chat "
    "#FoGra_(fam.)$ #FoPur_ [*o**] $ {dort}.#EndLig$",
    "",  // an empty question: no line in the view
    "#FoPur_EN: $ {The} {dog}  runs - fast .#EndLig$",
};

TEST(PrepareSentences, GivesOneEntryPerLineOfTheSheetView) {
  const SentenceList list = PrepareSentences(kSheetLines, "SpPhA000", true);
  EXPECT_TRUE(list.showPlayButton);
  const std::vector<std::string> expected = {
      "Phrases;Fran\xE7"
      "ais;Deutsch;English",
      "DE: \xA6 Die Katze schl\xE4"
      "ft.",
      "FR: \xA6 Le chat dort.",
      "",
      "EN: \xA6 The dog runs - fast .",
      "",
  };
  EXPECT_EQ(list.entries, expected);
  // The sheet view has exactly these lines, then three line breaks.
  const SheetDocument view = RenderQuestionLines(kSheetLines).sheet;
  int breaks = 0;
  for (int i = 0; i < view.Size(); ++i) breaks += view.KindAt(i) == ElementKind::LineBreak;
  EXPECT_EQ(breaks, static_cast<int>(expected.size()) + 3);
  using Switches = std::vector<std::pair<const char*, bool>>;
  for (auto [option, setting] : Switches{{"SpPhA000", false}, {"00PhA000", true}, {"Sp", true}}) {
    const SentenceList off = PrepareSentences(kSheetLines, option, setting);
    EXPECT_FALSE(off.showPlayButton) << option;
    EXPECT_TRUE(off.entries.empty()) << option;
  }
}

TEST(SentenceAudio, NamesTheAudioOfASentence) {
  struct Case {
    const char* label;
    const char* sentence;
    const char* shown;
    const char* compact;
    const char* entry;
  } cases[] = {
      {"FR", "Le chat (fam.) dort - vite.", "Le chat dort-vite.", "Lecha",
       "AudioPhB\\FR\\L\\LE\\Le chat dort-vite.mp3"},
      {"FR",
       "l ' \xE9"
       "cole [ici] est { x } l\xE0 !",
       "l'\xE9"
       "cole est l\xE0 !",
       "l\xE9"
       "col",
       "AudioPhB\\FR\\L\\L\xC9\\l'\xE9"
       "cole est l\xE0.mp3"},
      {"DE",
       "\xFC"
       "ber Stra\xDF"
       "e ?",
       "\xFC"
       "ber Stra\xDF"
       "e ?",
       "\xFC"
       "berS",
       "AudioPhB\\DE\\\xFC\\\xFC"
       "B\\\xFC"
       "ber Stra\xDF"
       "e.mp3"},  // "\xFC" stays small
      {"FR", "\xF9n, deux.", "\xF9n, deux.", "\xF9n,de",
       "AudioPhB\\FR\\\xF9\\\xF9N\\\xF9n, deux.mp3"},
      {"EN", "It\x92s   a  test ; ok", "It\x92s a test ; ok", "Itsa",
       "AudioPhB\\EN\\I\\IT\\It\x92s a test  ok.mp3"},
      {"EN", "- -", "--", "", "AudioPhB\\EN\\\\\\--.mp3"},
  };
  for (const Case& c : cases) {
    const SentenceAudio a = MakeSentenceAudio(c.label, c.sentence);
    EXPECT_EQ(a.shown, c.shown) << c.sentence;
    EXPECT_EQ(a.compact, c.compact) << c.sentence;
    EXPECT_EQ(a.entry, c.entry) << c.sentence;
  }
  const SentenceAudio cat = MakeSentenceAudio("FR", "Le chat (fam.) dort - vite.");
  EXPECT_EQ(cat.name, "Le chat dort-vite");
  EXPECT_EQ(cat.c1, "L");
  EXPECT_EQ(cat.c2, "LE");
  EXPECT_EQ(cat.reference, "Frausena01;AudioPhB\\FR\\L\\LE\\Le chat dort-vite.mp3");
  EXPECT_EQ(MakeSentenceAudio("DE", "a").reference.substr(0, 11), "Deausena01;");
  EXPECT_EQ(MakeSentenceAudio("EN", "a").reference.substr(0, 11), "Enausena01;");
  EXPECT_EQ(MakeSentenceAudio("[None]", "a").reference.substr(0, 1), ";");

  // Capitals: only "\xE0".."\xF6" and ASCII letters change.
  EXPECT_EQ(CapitaliseAudioChar('\xE0'), '\xC0');
  EXPECT_EQ(CapitaliseAudioChar('\xF6'), '\xD6');
  EXPECT_EQ(CapitaliseAudioChar('\xF7'), '\xF7');
  EXPECT_EQ(CapitaliseAudioChar('\xFF'), '\xFF');
  EXPECT_EQ(CapitaliseAudioChar('\x9C'), '\x9C');
  EXPECT_EQ(CapitaliseAudioChar('z'), 'Z');
  EXPECT_EQ(CapitaliseAudioChar('1'), '1');
}

TEST(SentencesOfExerciseLine, NamesWhatTheSentenceListWillHold) {
  const std::vector<BookSentence> s = SentencesOfExerciseLine(
      "Heading;Ma s\x9C"
      "ur (fam.) arrive-t-elle ?;Kommt meine Schwester?;;");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].audio.reference, "Frausena01;AudioPhB\\FR\\M\\MA\\Ma soeur arrive-t-elle.mp3");
  EXPECT_EQ(s[0].audio.shown, "Ma soeur arrive-t-elle ?");
  EXPECT_EQ(s[0].spoken,
            "Ma s\x9C"
            "ur arrive-t-elle ?");
  EXPECT_EQ(s[1].audio.reference, "Deausena01;AudioPhB\\DE\\K\\KO\\Kommt meine Schwester.mp3");
  EXPECT_EQ(s[1].spoken, "Kommt meine Schwester?");
}

TEST(SentencePlayerView, HidesRevealsAndHighlights) {
  SentencePlayerView v("Le chat.", false);
  EXPECT_EQ(v.ShownText(), "********");
  EXPECT_EQ(v.EyesPicture(), 0);
  v.PressEyes();
  EXPECT_EQ(v.ShownText(), "Le chat.");
  EXPECT_EQ(v.EyesPicture(), 1);
  v.PressEyes();
  EXPECT_EQ(v.ShownText(), "********");

  SentencePlayerView hidden("Le chat.", true);
  EXPECT_EQ(hidden.EyesPicture(), 1);
  hidden.PressEyes();
  EXPECT_EQ(hidden.ShownText(), "********");

  SentencePlayerView none("#Le chat.", false);
  EXPECT_TRUE(none.NoAudio());
  EXPECT_FALSE(none.PlayEnabled());
  EXPECT_FALSE(none.EyesEnabled());
  EXPECT_EQ(none.ShownText(), "#Le chat.");

  // L = 8: round(8 * position / length) + 6 characters, at most 8.
  SentencePlayerView p("Le chat.", false);
  p.StartPlaying();
  EXPECT_FALSE(p.PlayEnabled());
  EXPECT_FALSE(p.CloseEnabled());
  EXPECT_EQ(p.Highlight(0, 2000), 6);
  EXPECT_FALSE(p.ReachedEnd());
  EXPECT_EQ(p.Highlight(250, 2000), 7);
  EXPECT_EQ(p.Highlight(500, 2000), 8);
  EXPECT_TRUE(p.ReachedEnd());
  EXPECT_EQ(p.Highlight(500, 0), 6);  // an unknown length highlights the minimum
  p.EndPause();
  EXPECT_EQ(p.Highlighted(), 0);
  EXPECT_TRUE(p.PlayEnabled());
  EXPECT_EQ(SentencePlayerWidth(40), 130);
  EXPECT_EQ(SentencePlayerWidth(200), 260);
}

class PlaySentenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureFolder(tc_.ctx.folders.mediaDir);
    WriteMediaLibrary(
        tc_.ctx.folders.mediaDir + "Frausena01",
        BuildMediaLibrary({{MakeSentenceAudio("FR", "Le chat dort.").entry, "\xFF\xF3 le chat"}},
                          true));
  }
  test::TestContext tc_;
};

TEST_F(PlaySentenceTest, FetchesTheAudioOfTheCaretsLine) {
  const std::vector<std::string> entries = PrepareSentences(kSheetLines, "SpPhA000", true).entries;
  const std::optional<SentencePlay> play = PlaySentence(tc_.ctx, entries, 2);
  ASSERT_TRUE(play);
  EXPECT_EQ(play->text, "Le chat dort.");
  ASSERT_FALSE(play->audioPath.empty());
  ASSERT_TRUE(ByteTransformFile(play->audioPath));
  std::string audio;
  ASSERT_TRUE(ReadWholeFile(play->audioPath, audio));
  EXPECT_EQ(audio, "\xFF\xF3 le chat");
  EXPECT_EQ(tc_.status.last, "");
  EndSentencePlay(tc_.ctx, *play);
  EXPECT_FALSE(FileExists(play->audioPath));

  // A heading, a separator line or a line past the end has nothing to play.
  for (int line : {0, 3, 6, -1}) EXPECT_FALSE(PlaySentence(tc_.ctx, entries, line)) << line;
}

TEST_F(PlaySentenceTest, WithoutAudioThePlayerGetsTheHashText) {
  // Audio left from an earlier sentence must not be played for this one.
  EnsureFolder(tc_.ctx.folders.tempDir);
  WriteFileAtomic(tc_.ctx.folders.tempDir + "audio.mp3", "old sound");
  const std::optional<SentencePlay> de = PlaySentence(tc_.ctx,
                                                      {"DE: \xA6 Die Katze schl\xE4"
                                                       "ft."},
                                                      0);
  ASSERT_TRUE(de);
  EXPECT_EQ(de->text,
            "#Die Katze schl\xE4"
            "ft.");
  EXPECT_TRUE(de->audioPath.empty());
  EXPECT_EQ(tc_.status.last, kSentenceNoAudio);
  EXPECT_FALSE(tc_.status.lastFlash);
  EXPECT_FALSE(FileExists(tc_.ctx.folders.tempDir + "audio.mp3"));

  const std::optional<SentencePlay> fr = PlaySentence(tc_.ctx, {"FR: \xA6 Le chien dort."}, 0);
  ASSERT_TRUE(fr);
  EXPECT_EQ(fr->text, "#Le chien dort.");
  EXPECT_TRUE(SentencePlayerView(fr->text, false).NoAudio());
}

// The sentence lines of the test sentence book and of the sample sentence book (when present).
std::vector<std::string> BookSentenceLines() {
  std::vector<std::string> lines;
  for (const char* book : {"/media/sentences.book", "/../../data/books/sentences.book"}) {
    std::string source;
    if (!ReadWholeFile(std::string(QUILLO_FIXTURES_DIR) + book, source)) continue;
    for (std::string& line : SentenceLinesOfBookSource(source)) lines.push_back(std::move(line));
  }
  return lines;
}

// Whatever columns a pupil's settings show, with hints or without, with blanks given back or
// not, every sentence of a generated sentence line that the play button can reach is one whose
// audio the book's libraries hold.
TEST(SentencesOfExerciseLine, NameEverySentenceAGeneratedSheetCanPlay) {
  const std::vector<std::string> lines = BookSentenceLines();
  ASSERT_GE(lines.size(), 3u);
  StdRandomSource random;
  random.FixSeed(7);
  int checked = 0;
  for (const std::string& line : lines) {
    std::set<std::string> known;
    for (const BookSentence& s : SentencesOfExerciseLine(line)) known.insert(s.audio.reference);
    for (int l1 = 0; l1 <= 3; ++l1)
      for (int l2 = 0; l2 <= 3; ++l2)
        for (int l3 = 1; l3 <= 3; ++l3)
          for (int variant = 0; variant < 4; ++variant) {
            GenerationSettings settings;
            settings.lookAt1 = l1;
            settings.tryLookAt2 = l2;
            settings.fillIn3 = l3;
            settings.modeStar = variant % 2 ? 3 : 0;
            settings.showLookAt1 = settings.showTryLookAt2 = variant >= 2;
            const std::string question = BuildLanguageLine(
                random, PrepareSentence(random, line, variant % 2 == 1), settings, false);
            for (const std::string& entry :
                 PrepareSentences({"#ChB$Sentences", question}, "SpPh0000", true).entries) {
              const std::optional<SentenceEntry> e = ReadSentenceEntry(entry);
              if (!e) continue;
              const SentenceAudio audio = MakeSentenceAudio(e->label, e->sentence);
              EXPECT_TRUE(known.count(audio.reference)) << audio.reference << "\n" << question;
              ++checked;
            }
          }
  }
  EXPECT_GT(checked, 0);
}

// Every sentence of the sample sentence book, as a sheet's sentence list shows it, plays from the
// installed libraries: the player's file is an MP3 once the byte transform is undone.
TEST(InstalledSentenceAudio, EverySentenceOfTheSampleBookPlays) {
  std::string source;
  if (!ReadWholeFile(std::string(QUILLO_FIXTURES_DIR) + "/../../data/books/sentences.book",
                     source)) {
    GTEST_SKIP() << "no sample sentence book";
  }
  test::TestContext tc;
  tc.ctx.folders.mediaDir = std::string(QUILLO_STAGE_DIR) + "/IBL/";
  int played = 0;
  for (const std::string& line : SentenceLinesOfBookSource(source)) {
    for (const BookSentence& s : SentencesOfExerciseLine(line)) {
      const std::optional<SentencePlay> play =
          PlaySentence(tc.ctx, {s.audio.label + ": \xA6 " + s.audio.shown}, 0);
      ASSERT_TRUE(play);
      ASSERT_FALSE(play->audioPath.empty()) << s.audio.reference;
      ASSERT_TRUE(ByteTransformFile(play->audioPath));
      std::string mp3;
      ASSERT_TRUE(ReadWholeFile(play->audioPath, mp3));
      EXPECT_EQ(test::Mp3SampleRate(mp3), 16000) << s.audio.reference;
      EndSentencePlay(tc.ctx, *play);
      ++played;
    }
  }
  EXPECT_GE(played, 30);
}

}  // namespace
}  // namespace quillo
