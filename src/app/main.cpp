// quillomark: the desktop program. One copy runs at a time; a second start ends at once
// without a window. The only argument is the trace switch "TLog".
#include <QApplication>

#include "gui/shell/desktop_program.h"
#include "gui/shell/qt_text.h"
#include "gui/shell/theme.h"
#include "shell/instance_guard.h"
#include "shell/trace_log.h"

int main(int argc, char* argv[]) {
  auto guard = quillo::InstanceGuard::TryAcquire();
  if (!guard) return 0;
  const bool traceSwitch = quillo::TraceLog::IsSwitchArgument(argc, argv);

  QApplication app(argc, argv);
  QApplication::setApplicationName("Quillomark");
  QApplication::setQuitOnLastWindowClosed(false);
  quillo::ApplyProgramStyle(app);

  quillo::DesktopProgram program;
  quillo::DesktopProgram::Options options;
  options.traceSwitch = traceSwitch;
  options.programFile = quillo::FromQt(QCoreApplication::applicationFilePath());
  if (!program.StartUp(options)) return 1;
  program.Show();
  return app.exec();
}
