// Tests of the program's message box: the answer of each button and of closing it, the
// trimmed texts, the size rule, the close box and the placing over the main window.
#include "gui/shell/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "gui/shell/msg_pictures.h"
#include "gui_test_support.h"

namespace quillo {
namespace {

using test::WhenModal;

// What a test does to the open box.
enum class Act { kClickOk, kClickCancel, kClickThird, kClose, kEscape };

int ShowAndAct(QtMessageBox& box, int cancel, int ok, int third, Act act,
               QStringList* visible = nullptr) {
  WhenModal([&box, act, visible](QWidget*) {
    MsgBoxDialog* d = box.Dialog();
    if (visible) {
      for (QPushButton* b : {d->OkButton(), d->CancelButton(), d->ThirdButton()}) {
        if (b->isVisible()) *visible << b->objectName();
      }
    }
    switch (act) {
      case Act::kClickOk:
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        break;
      case Act::kClickCancel:
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
        break;
      case Act::kClickThird:
        QTest::mouseClick(d->ThirdButton(), Qt::LeftButton);
        break;
      case Act::kClose:
        d->close();
        break;
      case Act::kEscape:
        QTest::keyClick(d, Qt::Key_Escape);
        break;
    }
  });
  return box.ShowMsgBox("Title", "Line one", "Line two", cancel, ok, third, kIconWarning);
}

TEST(MessageBoxTest, AnswersByButtonAndByClosing) {
  const struct {
    int cancel, ok, third;
    Act act;
    int result;
    QStringList buttons;  // visible, left to right
  } cases[] = {
      {kNoPicture, kPicOk, kNoPicture, Act::kClickOk, 1, {"BtOk"}},
      {kPicCancel, kPicOk, kNoPicture, Act::kClickOk, 1, {"BtOk", "BtCancel"}},
      {kPicCancel, kPicOk, kNoPicture, Act::kClickCancel, 2, {"BtOk", "BtCancel"}},
      {kPicCancel, kPicOk, kPicThird, Act::kClickThird, 3, {"BtOk", "BtCancel", "BtThird"}},
      {kNoPicture, kNoPicture, kPicThird, Act::kClickThird, 3, {"BtThird"}},
      {kPicCancel, kPicOk, kNoPicture, Act::kEscape, 2, {"BtOk", "BtCancel"}},
      {kNoPicture, kNoPicture, kNoPicture, Act::kClose, 2, {}},
      {kNoPicture, kNoPicture, kNoPicture, Act::kEscape, 2, {}},
  };
  QtMessageBox box;
  for (const auto& c : cases) {
    QStringList visible;
    EXPECT_EQ(ShowAndAct(box, c.cancel, c.ok, c.third, c.act, &visible), c.result)
        << static_cast<int>(c.act) << " " << c.buttons.join(",").toStdString();
    EXPECT_EQ(visible, c.buttons);
    EXPECT_FALSE(box.Dialog()->isVisible());
  }
}

TEST(MessageBoxTest, CloseBoxOnlyWithoutButtons) {
  MsgBoxDialog dialog;
  dialog.Configure("t", "a", "", kNoPicture, kNoPicture, kNoPicture, kNoPicture, nullptr);
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(dialog.windowFlags() & Qt::Tool);
  dialog.Configure("t", "a", "", kNoPicture, kPicOk, kNoPicture, kNoPicture, nullptr);
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST(MessageBoxTest, TextsAreTrimmedAndAnEmptySecondLineShowsNothing) {
  MsgBoxDialog dialog;
  dialog.Configure("  Username \t", "\t User created ! ", "   ", kNoPicture, kPicOk, kNoPicture,
                   kIconInfo, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Username");
  EXPECT_EQ(dialog.Line1(), "User created !");
  EXPECT_EQ(dialog.findChild<QLabel*>("LbLine1")->text(), "User created !");
  EXPECT_EQ(dialog.Line2(), "");
  EXPECT_TRUE(dialog.findChild<QLabel*>("LbLine2")->isHidden());
  EXPECT_FALSE(dialog.findChild<QLabel*>("ImIcon")->isHidden());
  // Windows-1252 texts reach the box as their characters.
  dialog.Configure("Fran\xE7" "ais", "Gr\xFC\xDF" "e", "", kNoPicture, kPicOk, kNoPicture,
                   kNoPicture, nullptr);
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Français"));
  EXPECT_EQ(dialog.Line1(), QString::fromUtf8("Grüße"));
  EXPECT_TRUE(dialog.findChild<QLabel*>("ImIcon")->isHidden());
}

TEST(MessageBoxTest, WidthRuleAndHeight) {
  const QFontMetrics metrics(MsgBoxFont());
  EXPECT_TRUE(MsgBoxFont().bold());
  EXPECT_EQ(MsgBoxFont().pointSize(), 8);
  const QString longLine = "Do you want to delete this practice ?";
  const QString longer = longLine + " And its results ?";
  const int longWidth = metrics.horizontalAdvance(longLine) + 2 * longLine.size();
  const int longerWidth = metrics.horizontalAdvance(longer) + 2 * longer.size();
  ASSERT_GT(longWidth, 240);
  // Below the width of the (offscreen) screen, where no box grows further.
  ASSERT_LT(longerWidth, QGuiApplication::primaryScreen()->availableGeometry().width() - 40);
  const struct {
    QString line1, line2;
    int width;
  } cases[] = {
      {"OK", "", 240},
      {"", "", 240},
      {longLine, "short", longWidth},
      {"short", longLine, longWidth},
      {longLine, longer, longerWidth},
      {"x\r\n" + longLine, "", longWidth},  // each row of a line is measured on its own
  };
  MsgBoxDialog dialog;
  for (const auto& c : cases) {
    EXPECT_EQ(MsgBoxClientWidth(metrics, {c.line1, c.line2}), c.width) << c.line1.toStdString();
    dialog.Configure("t", c.line1.toStdString(), c.line2.toStdString(), kNoPicture, kPicOk,
                     kNoPicture, kIconInfo, nullptr);
    EXPECT_EQ(dialog.width(), c.width) << c.line1.toStdString();
    EXPECT_EQ(dialog.height(), kMsgBoxHeight);
  }
}

TEST(MessageBoxTest, AHugeLineKeepsTheBoxOnTheScreen) {
  MsgBoxDialog dialog;
  const std::string huge(5000, 'W');
  dialog.Configure("t", huge, huge, kPicCancel, kPicOk, kNoPicture, kIconWarning, nullptr);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(dialog.width(), area.width());
  EXPECT_GE(dialog.width(), kMsgBoxMinWidth);
  EXPECT_EQ(dialog.Line1().size(), 5000);  // the text itself is kept; only the row is shortened
  EXPECT_LT(dialog.findChild<QLabel*>("LbLine1")->text().size(), 5000);
}

TEST(MessageBoxTest, CentredOnTheMainWindow) {
  QWidget main;
  main.setGeometry(100, 120, 800, 600);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QtMessageBox box;
  box.SetMainWindow(&main);
  QPoint centre;
  QSize size;
  WhenModal([&](QWidget* modal) {
    centre = modal->geometry().center();
    size = modal->size();
    test::ClickChild(modal, "BtOk");
  });
  EXPECT_EQ(box.ShowMsgBox("t", "Saved !", "", kNoPicture, kPicOk, kNoPicture, kIconInfo), 1);
  EXPECT_EQ(size.height(), kMsgBoxHeight);
  EXPECT_LE((centre - main.frameGeometry().center()).manhattanLength(), 4);
}

TEST(MessageBoxTest, ABoxAskedForWhileABoxIsOpenGetsItsOwn) {
  QtMessageBox box;
  int inner = 0;
  WhenModal([&](QWidget*) {
    WhenModal([](QWidget* nested) { test::ClickChild(nested, "BtCancel"); });
    inner = box.ShowMsgBox("t", "inner", "", kPicCancel, kPicOk, kNoPicture, kIconWarning);
    test::ClickChild(box.Dialog(), "BtOk");
  });
  EXPECT_EQ(box.ShowMsgBox("t", "outer", "", kPicCancel, kPicOk, kNoPicture, kIconWarning), 1);
  EXPECT_EQ(inner, 2);

  // The same when the first box is already closed but its call has not returned yet.
  int second = 0;
  WhenModal([&](QWidget*) {
    test::ClickChild(box.Dialog(), "BtOk");
    WhenModal([](QWidget* nested) { test::ClickChild(nested, "BtOk"); });
    second = box.ShowMsgBox("t", "second", "", kNoPicture, kPicOk, kNoPicture, kIconInfo);
  });
  EXPECT_EQ(box.ShowMsgBox("t", "first", "", kPicCancel, kPicOk, kNoPicture, kIconWarning), 1);
  EXPECT_EQ(second, 1);
}

TEST(MessagePicturesTest, EveryPictureOfTheListIsDrawn) {
  for (int number : {kPicOk, kPicCancel, kPicThird, kIconInfo, kIconWarning}) {
    QPixmap pixmap = MsgPicturePixmap(number, 16);
    ASSERT_FALSE(pixmap.isNull()) << number;
    EXPECT_EQ(pixmap.size(), QSize(16, 16));
    EXPECT_FALSE(MsgPictureName(number).isEmpty());
    // Something is drawn in the middle of the picture.
    EXPECT_NE(pixmap.toImage().pixelColor(8, 8).alpha(), 0) << number;
  }
  EXPECT_TRUE(MsgPicturePixmap(kNoPicture, 16).isNull());
  EXPECT_TRUE(MsgPicturePixmap(17, 16).isNull());
}

}  // namespace
}  // namespace quillo
