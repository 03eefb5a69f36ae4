// The window tests run inside one QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "gui/shell/theme.h"

namespace {

// The offscreen platform reports every window operation it cannot do; those notes are noise.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith("This plugin does not support")) return;
  qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                  : qgetenv("QT_QPA_PLATFORM"));
  qInstallMessageHandler(QuietHandler);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  quillo::ApplyProgramStyle(app);
  return RUN_ALL_TESTS();
}
