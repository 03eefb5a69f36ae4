// Tests of the desktop seams: the nested wait cursor, the status line with its flash, and the
// progress window's steps.
#include "gui/shell/desktop_services.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "gui/shell/theme.h"

namespace quillo {
namespace {

TEST(WaitCursorTest, NestsAndIsRestored) {
  {
    WaitCursor busy;
    busy.SetBusy(true);
    busy.SetBusy(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    busy.SetBusy(false);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    busy.SetBusy(false);
    busy.SetBusy(false);  // one too many does no harm
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    busy.SetBusy(true);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // released with the indicator
}

TEST(StatusLineTest, AppendsClearsAndFlashes) {
  QLabel panel;
  WidgetStatusLine status(30);
  status.StatusMessage("kept without a panel", false);
  status.StatusMessage("", false);
  status.SetPanel(&panel);
  status.StatusMessage("er934: Module IBL not installed !", false);
  status.StatusMessage(" more", false);
  EXPECT_EQ(panel.text(), "er934: Module IBL not installed ! more");
  status.StatusMessage("", false);
  EXPECT_EQ(panel.text(), "");

  status.StatusMessage("Error: Wrong IBL", true);
  EXPECT_TRUE(status.Flashing());
  EXPECT_EQ(panel.text(), "Error: Wrong IBL");
  EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(192, 192, 192));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
  QTRY_VERIFY_WITH_TIMEOUT(!status.Flashing(), 2000);
  EXPECT_EQ(panel.text(), "");
  EXPECT_EQ(panel.palette().color(QPalette::Window), kGroundColour);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ProgressWindowTest, StepsMoveTheBarAndTheSpinner) {
  TProgressForm form;
  form.Start("Update", "New version detected !");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.windowTitle(), "Update");
  EXPECT_EQ(form.findChild<QLabel*>("LbText")->text(), "New version detected !");
  auto* bar = form.findChild<QProgressBar*>("ProgressBar1");
  auto* step = form.findChild<QLabel*>("LbStep");
  EXPECT_EQ(step->text(), "[1]  | ");
  form.Step("a.JOB");
  EXPECT_EQ(bar->value(), 5);
  EXPECT_EQ(step->text(), "[1] /");
  EXPECT_EQ(form.findChild<QLabel*>("LbStatus")->text(), "a.JOB");
  for (int i = 0; i < 19; ++i) form.Step("b.JOB");
  EXPECT_EQ(bar->value(), 0);  // past 100 the bar starts again, in the next round
  EXPECT_EQ(step->text(), "[2]  | ");
  EXPECT_EQ(TProgressForm::SpinnerText(95), QString::fromUtf8(" ¦ "));
  EXPECT_EQ(TProgressForm::SpinnerText(90), "*");
  form.Stop();
  EXPECT_EQ(step->text(), "[Finished...ok]");
}

}  // namespace
}  // namespace quillo
