// Tests of what the practice window opens: the last sheet of the account file with its refusals,
// the follow-up codes, the rule of making a sheet anew as it opens (with the session's use of
// it), and the board's clock text.
#include "practice/practice_start.h"

#include <gtest/gtest.h>

#include "practice/media_library.h"
#include "practice/sound_check.h"
#include "session_test_util.h"
#include "setup/accounts.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

using test::SessionFixture;

TEST(PracticeStart, LastSheetFromTheAccountFile) {
  SessionFixture f;
  const std::string account = f.user + kAccountIni;
  // Sheets lie in the user's book folders.
  const std::string sheet = f.user + "Qst/Book/Sums.QST";
  f.tc.dir.Write(sheet.substr(f.tc.dir.Path().size()), test::SheetText({"1 + 1 = {2}"}, sheet));
  IniWriteString(account, "Last Input", "Nom 1", f.user + "Qst/Book/Sums.JOB");
  IniWriteString(account, "Last Input", "Nom 2", sheet);

  SheetRequest request = LastSheetRequest(f.tc.ctx, f.user);
  EXPECT_EQ(request.code, StartCode::Fresh);
  EXPECT_EQ(request.path, sheet);
  EXPECT_EQ(request.kind, "s");
  EXPECT_TRUE(f.tc.msgBox.Shown().empty());

  // Nothing recorded, a file gone, a file outside the program's folders: both keys are cleared
  // and the pupil is asked to generate a sheet.
  test::TempDir elsewhere;
  const std::string outside = elsewhere.Write("Other.QST", test::SheetText({"{1}"}));
  for (const std::string& recorded : {std::string(), f.user + "Qst/Book/Gone.QST", outside}) {
    SCOPED_TRACE(recorded);
    f.tc.msgBox.Clear();
    IniWriteString(account, "Last Input", "Nom 1", "job");
    IniWriteString(account, "Last Input", "Nom 2", recorded);
    request = LastSheetRequest(f.tc.ctx, f.user);
    EXPECT_EQ(request.code, StartCode::None);
    EXPECT_EQ(IniReadString(account, "Last Input", "Nom 1", "x"), "");
    EXPECT_EQ(IniReadString(account, "Last Input", "Nom 2", "x"), "");
    ASSERT_EQ(f.tc.msgBox.Shown().size(), 1u);
    EXPECT_EQ(f.tc.msgBox.Shown()[0].title, "Info...");
    EXPECT_EQ(f.tc.msgBox.Shown()[0].line1, "Pls. generate a new file !");
  }
  // A user folder that is gone is not made again.
  f.tc.msgBox.Clear();
  const std::string goneUser = f.tc.ctx.folders.UserFolder("gone");
  EXPECT_EQ(LastSheetRequest(f.tc.ctx, goneUser).code, StartCode::None);
  EXPECT_FALSE(FolderExists(goneUser));
  EXPECT_EQ(f.tc.msgBox.Shown().size(), 1u);
}

TEST(PracticeStart, FollowUpCodes) {
  test::TempDir dir;
  const std::string user = dir.Path();
  dir.Write("Sums.QsR", "x");
  dir.Write("Words.QsV", "x");
  struct Case {
    int code;
    std::string name;
    StartCode start;
    std::string path;
    std::string kind;
  } cases[] = {
      {20, "Sums", StartCode::Resume, user + "Sums.QsR", "s"},
      {22, "Sums", StartCode::Resume, user + "Sums.QsR", "s"},
      // The revision stands in for a result that is gone.
      {20, "Words", StartCode::Resume, user + "Words.QsV", "s"},
      {21, "", StartCode::Fresh, "/data/Qst/Book/UL/P1.QST", "p"},
      {2, "Sums", StartCode::None, "", "s"},
      {7, "Sums", StartCode::None, "", "s"},
      {20, "../Sums", StartCode::None, "", "s"},
      {20, "", StartCode::None, "", "s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + " " + c.name);
    const SheetRequest request = FollowUpRequest(c.code, user, c.name, "/data/Qst/Book/UL/P1.QST");
    EXPECT_EQ(request.code, c.start);
    EXPECT_EQ(request.path, c.path);
    EXPECT_EQ(request.kind, c.kind);
  }
  EXPECT_EQ(FollowUpRequest(21, user, "", "").code, StartCode::None);

  // The continuation hands over the kind and first-try faults of the open progressive sheet;
  // a plain resume keeps the file's.
  const SheetRequest progressive = FollowUpRequest(22, user, "Sums", "", "p", "-1");
  EXPECT_EQ(progressive.resumeKind, "p");
  EXPECT_EQ(progressive.resumeFaults, "-1");
  EXPECT_EQ(FollowUpRequest(20, user, "Sums", "", "p", "-1").resumeKind, "");
}

TEST(PracticeStart, RegenerationRule) {
  SessionFixture f;
  struct Case {
    bool setting;
    std::string kind;
    std::string path;
    bool regenerates;
  } cases[] = {
      {true, "s", "/d/Tremsol/Users/Ann/Qst/Book/Sums.QST", true},
      {true, "p", "/d/Tremsol/Users/Ann/Qst/Book/UL/P.QST", false},
      {true, "s", "/d/Tremsol/ShQst/Book/Sums.QST", false},
      {true, "s", "/d/Tremsol/ShQst/Sums.QST", true},
      {false, "s", "/d/Tremsol/Users/Ann/Qst/Book/Sums.QST", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    f.store.SetBool("Cb_AutoGenByNewQST", c.setting);
    EXPECT_EQ(RegeneratesOnOpening(f.tc.ctx, c.kind, c.path), c.regenerates);
  }
}

TEST(PracticeStart, OpeningMakesTheSheetAnewFromItsJob) {
  SessionFixture f;
  f.store.SetBool("Cb_AutoGenByNewQST", true);
  const std::string sheet = f.WriteSheet("Sums.QST", {"1 + 1 = {2}"});
  std::vector<std::string> asked;
  f.session.SetRegenerator([&](const std::string& path) {
    asked.push_back(path);
    f.tc.dir.Write("appdata/sheets/Sums.QST",
                   test::SheetText({"5 + 5 = {10}", "2 + 2 = {4}"}, sheet, "  ",
                                   "Ver.A 2.0;Arithmetic;00000000;UP.Y"));
    return true;
  });

  // Without a job the old sheet opens, after the box names the result.
  ASSERT_TRUE(f.session.OpenFresh(sheet));
  EXPECT_TRUE(asked.empty());
  ASSERT_EQ(f.tc.msgBox.Shown().size(), 1u);
  EXPECT_EQ(f.tc.msgBox.Shown()[0].title, "Info");
  EXPECT_EQ(f.tc.msgBox.Shown()[0].line1, "There is no query saved for practice !");
  EXPECT_EQ(f.tc.msgBox.Shown()[0].line2, "Sums");
  EXPECT_EQ(f.session.Editor().ExpectedAnswers().size(), 1u);
  f.session.Leave();

  // With a job the sheet is made anew and its new header and questions are read.
  f.tc.msgBox.Clear();
  f.tc.dir.Write("appdata/sheets/Sums.JOB", "job");
  ASSERT_TRUE(f.session.OpenFresh(sheet)) << f.tc.status.last;
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], sheet);
  EXPECT_TRUE(f.tc.msgBox.Shown().empty());
  EXPECT_EQ(f.session.Header(), "Ver.A 2.0;Arithmetic;00000000;UP.Y");
  EXPECT_EQ(f.session.Editor().ExpectedAnswers().size(), 2u);
  EXPECT_EQ(f.session.ResultName(), "Sums #01");
  f.session.Leave();

  // A progressive sheet never, nor when the regeneration writes nothing.
  ASSERT_TRUE(f.session.OpenFresh(sheet, "p"));
  EXPECT_EQ(asked.size(), 1u);
  f.session.Leave();
  f.session.SetRegenerator([&](const std::string&) { return false; });
  ASSERT_TRUE(f.session.OpenFresh(sheet));
  EXPECT_EQ(f.session.Editor().ExpectedAnswers().size(), 2u);
  f.session.Leave();

  // A sheet emptied by its regeneration is reported like any empty sheet.
  f.session.SetRegenerator([&](const std::string&) {
    f.tc.dir.Write("appdata/sheets/Sums.QST", "only one line\r\n");
    return true;
  });
  EXPECT_FALSE(f.session.OpenFresh(sheet));
  EXPECT_FALSE(f.session.IsOpen());
  EXPECT_EQ(f.tc.status.last, "Error: 983745-A Empty file ..");
  EXPECT_FALSE(FileExists(sheet));
}

TEST(PracticeStart, BoardClock) {
  struct Case {
    int64_t seconds;
    int64_t attempt;
    const char* text;
  } cases[] = {
      {0, 1, "00:00:00 (1)"},
      {59, 1, "00:00:59 (1)"},
      {3661, 2, "01:01:01 (2)"},
      {99 * 3600 + 59 * 60 + 59, 3, "99:59:59 (3)"},
      {100 * 3600, 12, "100:00:00 (12)"},
      {-5, 1, "00:00:00 (1)"},
  };
  for (const Case& c : cases) EXPECT_EQ(BoardClockText(c.seconds, c.attempt), c.text);
}

}  // namespace
}  // namespace quillo

namespace quillo {
namespace {

// An MPEG audio frame: its header and zero bytes up to its length.
std::string Frame(const char* header) {
  const std::string h(header, 4);
  return h + std::string(MpegFrameLength(h) - 4, '\0');
}

TEST(SoundCheck, OnlyWhatLooksLikeASoundIsPlayed) {
  // Frame lengths: MPEG 2 layer III 24 kbit/s 16 kHz (as the sentence audio is made), MPEG 1
  // layer III 128 kbit/s 44.1 kHz with padding, MPEG 1 layer I, MPEG 2.5 layer III, bad ones.
  EXPECT_EQ(MpegFrameLength(std::string("\xFF\xF3\x38\xC4", 4)), 108u);
  EXPECT_EQ(MpegFrameLength(std::string("\xFF\xFB\x92\x64", 4)), 418u);
  EXPECT_EQ(MpegFrameLength(std::string("\xFF\xFF\x90\x00", 4)), 312u);
  EXPECT_EQ(MpegFrameLength(std::string("\xFF\xE3\x18\xC4", 4)), 72u);
  for (const char* bad : {"\xFF\xE9\x40\xC4", "\xFF\xF1\x40\xC4", "\xFF\xFB\xF0\x64",
                          "\xFF\xFB\x0C\x64", "\xFF\xFB\x00\x64", "\xFE\xFB\x90\x64"})
    EXPECT_EQ(MpegFrameLength(std::string(bad, 4)), 0u);

  const std::string frame = Frame("\xFF\xF3\x38\xC4");
  const std::string id3 =
      std::string("ID3\x04\x00\x00\x00\x00\x01\x02", 10) + std::string(130, 'x');
  struct Case {
    std::string bytes;
    bool sound;
  } cases[] = {
      {frame + frame + frame, true},
      {frame, true},                       // one frame
      {frame + frame.substr(0, 2), true},  // cut inside the next header
      {id3 + frame + frame, true},         // a tag first
      {id3.substr(0, 60), true},           // the frames lie past what was read
      {std::string("RIFF\x24\x08\x00\x00WAVEfmt ", 16), true},
      {frame + std::string(400, '\x5A'), false},  // one frame, then rubbish
      {id3 + std::string(400, '\x5A'), false},
      {std::string("ID3\x04\x00\x00\x80\x00\x01\x02", 10) + frame, false},  // bad size
      {std::string(400, '\x5A'), false},
      {"RIFF\x24\x08\x00\x00AVI ", false},
      {"", false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(LooksLikeSound(cases[i].bytes), cases[i].sound) << i;

  // Every sentence of the installed audio libraries passes.
  const std::string media = std::string(QUILLO_STAGE_DIR) + "/IBL/";
  int sounds = 0;
  for (const char* library : {"Frausena01", "Deausena01", "Enausena01"}) {
    for (const ListedEntry& e : ListEntries(LibraryIndexPath(media, library))) {
      const std::optional<std::string> stored = ReadDataRange(
          LibraryDataPath(media, library), e.entry.position, e.entry.length, kMaxMediaInMemory);
      ASSERT_TRUE(stored) << e.path;
      EXPECT_TRUE(LooksLikeSound(ByteTransform(*stored))) << library << " " << e.path;
      ++sounds;
    }
  }
  EXPECT_GT(sounds, 30);

  test::TempDir dir;
  EXPECT_TRUE(FileLooksLikeSound(dir.Write("a.mp3", frame + frame)));
  EXPECT_FALSE(FileLooksLikeSound(dir.Write("b.mp3", "not a sound")));
  EXPECT_FALSE(FileLooksLikeSound(dir.Path() + "missing.mp3"));
}

}  // namespace
}  // namespace quillo
