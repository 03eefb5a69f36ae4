// Tests of the sentence player and of the practice window's sentence sheets: stars, eyes and the
// "Hide sentence" setting, the sentence without audio, the two messages of a sound that cannot be
// opened or played (the window stays usable and the audio file keeps its stored form), and the
// play button of a sentence sheet with the status line when the media libraries are missing. No
// test needs a sound device.
#include "gui/practice/sentence_player.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "core/practice/session_test_util.h"
#include "gui/practice/practice_window.h"
#include "gui/practice/sheet_view.h"
#include "gui/shell/desktop_services.h"
#include "gui_test_support.h"
#include "practice/media_library.h"
#include "setup/accounts.h"
#include "setup/login_state.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

class SentencePlayerTest : public ::testing::Test {
 protected:
  SentencePlayerTest() : player(t.ctx) {
    t.ctx.settings = &store;
    player.SetOutputCheck([this] { return outputs; });
  }
  ~SentencePlayerTest() override { player.close(); }

  // Waits until the player's buttons are usable again (the sound failed or ended).
  void WaitUntilIdle() {
    for (int i = 0; i < 100 && !player.View().CloseEnabled(); ++i) QTest::qWait(20);
  }

  test::TestContext t;
  SettingsStore store;
  bool outputs = true;
  TFoPlaySentence player;
};

TEST_F(SentencePlayerTest, StarsEyesAndTheSentenceWithoutAudio) {
  player.Prepare({{}, "Le chat dort.", ""});
  EXPECT_EQ(player.ShownText(), "*************");
  EXPECT_TRUE(player.EyesButton()->isEnabled());
  player.EyesButton()->click();
  EXPECT_EQ(player.ShownText(), "Le chat dort.");
  player.EyesButton()->click();
  EXPECT_EQ(player.ShownText(), "*************");
  const int width = player.width();
  EXPECT_GE(width, 130);
  player.Prepare({{}, "Un tr\xE8s long texte pour voir la fen\xEAtre grandir avec lui.", ""});
  EXPECT_GT(player.width(), width);

  // "Hide sentence": the sentence can never be revealed.
  store.SetBool("CB_HideSent", true);
  player.Prepare({{}, "Le chat dort.", ""});
  player.EyesButton()->click();
  EXPECT_EQ(player.ShownText(), "*************");
  EXPECT_EQ(player.View().EyesPicture(), 1);

  // No audio: the "#" text is shown, play and eyes are off, closing works.
  store.SetBool("CB_ShowSent", true);
  player.Prepare({{}, "#Le chat dort.", ""});
  EXPECT_EQ(player.ShownText(), "#Le chat dort.");
  EXPECT_FALSE(player.PlayButton()->isEnabled());
  EXPECT_FALSE(player.EyesButton()->isEnabled());
  EXPECT_TRUE(player.CloseButton()->isEnabled());
  test::WhenModal([](QWidget* modal) { test::ClickChild(modal, "SpPlayClose"); });
  player.ShowSentence({{}, "#Le chat dort.", ""}, nullptr);
  EXPECT_FALSE(player.isVisible());
}

TEST_F(SentencePlayerTest, SoundsThatCannotBeOpenedOrPlayed) {
  // Not a sound at all, and a sound whose first frame is followed by rubbish (both stored
  // transformed, as the libraries store sounds): they cannot be opened.
  for (const std::string& bytes :
       {std::string(400, '\x5A'), std::string("\xFF\xF3\x40\xC4", 4) + std::string(400, '\x5A')}) {
    t.msgBox.Clear();
    const std::string stored = ByteTransform(bytes);
    const std::string path = t.dir.Write("appdata/Temp/Audio.mp3", stored);
    player.Prepare({{}, "Le chat dort.", path});
    player.PressPlay();
    WaitUntilIdle();
    EXPECT_EQ(player.LastMessage(), kCannotOpenSound);
    ASSERT_FALSE(t.msgBox.Shown().empty());
    EXPECT_EQ(t.msgBox.Shown().back().line1, kCannotOpenSound);
    EXPECT_TRUE(player.PlayButton()->isEnabled());
    EXPECT_TRUE(player.CloseButton()->isEnabled());
    EXPECT_EQ(t.dir.Read("appdata/Temp/Audio.mp3"), stored);
  }

  // A real sentence from the installed French library, on a machine without a sound device.
  t.ctx.folders.mediaDir = std::string(QUILLO_STAGE_DIR) + "/IBL/";
  t.ctx.folders.tempDir = t.dir.Path() + "appdata/Temp/";
  const std::optional<SentencePlay> play =
      PlaySentence(t.ctx, {"FR: \xA6 Bonjour, je suis Tom."}, 0);
  ASSERT_TRUE(play);
  ASSERT_FALSE(play->audioPath.empty()) << play->text;
  std::string before;
  ReadWholeFile(play->audioPath, before);
  outputs = false;
  t.msgBox.Clear();
  player.Prepare(*play);
  player.PressPlay();
  WaitUntilIdle();
  EXPECT_EQ(player.LastMessage(), kCannotPlaySound);
  EXPECT_TRUE(player.PlayButton()->isEnabled());
  std::string after;
  ReadWholeFile(play->audioPath, after);
  EXPECT_EQ(after, before);
  EndSentencePlay(t.ctx, *play);
  EXPECT_FALSE(FileExists(play->audioPath));
}

TEST(SentenceSheets, PlayButtonKeyboardAndMissingLibraries) {
  test::TestContext t;
  SettingsStore store;
  LoginState state;
  WidgetStatusLine status(60);
  t.ctx.settings = &store;
  t.ctx.login = &state;
  t.ctx.status = &status;
  state.currentUser = "Ann";
  const std::string user = t.ctx.folders.UserFolder("Ann");
  EnsureFolder(user);
  TfoCompo compo(t.ctx);
  status.SetPanel(compo.StatusPanel());
  compo.PrepareForUser(QRect(40, 40, 820, 600));
  compo.show();
  compo.SentencePlayer()->SetOutputCheck([] { return false; });
  store.SetBool("CB_AllResultMouseClk", true);

  const std::string path = user + "Qst/Sentences/Me.QST";
  t.dir.Write(path.substr(t.dir.Path().size()),
              test::SheetText({"#ChB$About me",
                               "#FoPur_DE: $ Wir sind Freunde.#Ch13$#FoPur_FR: $ Nous {sommes} "
                               "amis.#EndLig$"},
                              path, "  ", "Ver.A 1.0;Sentences;SpPhA000;UP.Y"));
  IniWriteString(user + kAccountIni, "Last Input", "Nom 2", path);
  compo.StartFromMenu();
  ASSERT_TRUE(compo.SheetOpen());
  EXPECT_TRUE(compo.findChild<QWidget*>("Pa_BtPlay")->isVisible());
  EXPECT_TRUE(compo.findChild<QWidget*>("BtHi_QstNavKeyBoard")->isVisible());
  ASSERT_EQ(compo.Sentences().size(), 4u);
  EXPECT_EQ(compo.Sentences()[2], "FR: \xA6 Nous sommes amis.");
  // The answer list of the value picker ("A").
  EXPECT_EQ(compo.Session().Editor().AnswerList(), std::vector<std::string>{"sommes"});
  // The play button stands beside the caret's line.
  QToolButton* play = compo.findChild<QToolButton*>("Bt_OnePlay");
  ASSERT_TRUE(play->isVisible());
  EXPECT_EQ(compo.SheetView()->CaretLine(), 2);

  // The libraries are not installed here: the player opens with the "#" text and no play.
  QString shown;
  bool playEnabled = true;
  QString statusText;
  test::WhenModal([&](QWidget* modal) {
    auto* player = static_cast<TFoPlaySentence*>(modal);
    shown = player->ShownText();
    playEnabled = player->PlayButton()->isEnabled();
    statusText = compo.StatusPanel()->text();
    test::ClickChild(modal, "SpPlayClose");
  });
  play->click();
  EXPECT_EQ(shown, "#Nous sommes amis.");
  EXPECT_FALSE(playEnabled);
  EXPECT_EQ(statusText, "er934: Module IBL not installed !er935: Sentence or Audio not exist!");
  EXPECT_EQ(compo.StatusPanel()->text(), "");  // cleared when the player closed

  test::WhenModal([](QWidget* modal) { test::ClickChild(modal, "BtOk"); });
  ASSERT_TRUE(compo.LeaveSheet());
  EXPECT_TRUE(compo.Sentences().empty());
  EXPECT_FALSE(compo.findChild<QWidget*>("Pa_BtPlay")->isVisible());
}

}  // namespace
}  // namespace quillo
