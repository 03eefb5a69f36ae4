#include "gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace quillo::test {

void WhenModal(std::function<void(QWidget* modal)> action) {
  auto* timer = new QTimer(qApp);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, ticks, action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      QPointer<QWidget> shown(modal);
      action(modal);
      // A window the action left open would block the test for good.
      QTimer::singleShot(5000, qApp, [shown] {
        if (shown && shown->isVisible() && shown == QApplication::activeModalWidget()) {
          ADD_FAILURE() << "a modal window stayed open";
          shown->close();
        }
      });
    } else if (++*ticks > 500) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
}

void ClickChild(QWidget* window, const char* objectName) {
  auto* button = window->findChild<QAbstractButton*>(objectName);
  ASSERT_NE(button, nullptr) << objectName;
  button->click();
}

}  // namespace quillo::test
