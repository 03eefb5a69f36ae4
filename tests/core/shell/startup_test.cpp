#include <gtest/gtest.h>

#include "shell/data_folders.h"
#include "shell/file_utils.h"
#include "shell/instance_guard.h"
#include "shell/trace_log.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

using test::TempDir;

TEST(DataFolders, EveryPathEndsWithASlashUnderItsRoot) {
  DataFolders f = MakeDataFolders("/home/p/.local/share", "/opt/q/share/");
  const std::string* all[] = {&f.userDataRoot, &f.usersDir,        &f.settingsDir,
                              &f.sharedDir,    &f.logDir,          &f.tempDir,
                              &f.programDataRoot, &f.programSettingsDir, &f.saveDir,
                              &f.mediaDir,     &f.booksDir,        &f.languageDir};
  for (const std::string* p : all) EXPECT_EQ(p->back(), '/') << *p;
  EXPECT_EQ(f.userDataRoot, "/home/p/.local/share/Tremsol/");
  EXPECT_EQ(f.usersDir, "/home/p/.local/share/Tremsol/Users/");
  EXPECT_EQ(f.booksDir, "/opt/q/share/Tremsol/Bib/");
  EXPECT_EQ(f.languageDir, "/opt/q/share/Tremsol/SetG/");
}

TEST(DataFolders, StartupCreatesExactlyItsFolders) {
  TempDir dir;
  DataFolders f = MakeDataFolders(dir.Path() + "a", dir.Path() + "p");
  CreateStartupFolders(f);
  std::vector<std::string> list;
  ListFolder(dir.Path(), "*", list, true, false, true);
  std::string root = dir.Path() + "a/Tremsol";
  EXPECT_EQ(list, (std::vector<std::string>{dir.Path() + "a", root, root + "/Log",
                                            root + "/Log/ScreenLog", root + "/SetG",
                                            root + "/ShQst", root + "/Users"}));
}

TEST(DataFolders, UserFolderFindsAnExistingAccountWhateverTheCase) {
  TempDir dir;
  DataFolders f = MakeDataFolders(dir.Path(), dir.Path());
  EnsureFolder(f.usersDir + "Marie/");
  EXPECT_EQ(f.UserFolder("MARIE"), f.usersDir + "Marie/");
  EXPECT_EQ(f.UserFolder("Paul"), f.usersDir + "Paul/");
}

TEST(InstanceGuard, ASecondInstanceIsRefused) {
  TempDir dir;
  auto first = InstanceGuard::TryAcquire(dir.Path());
  ASSERT_TRUE(first);
  EXPECT_FALSE(InstanceGuard::TryAcquire(dir.Path()));
  first.reset();
  EXPECT_TRUE(InstanceGuard::TryAcquire(dir.Path()));
}

TEST(InstanceGuard, AMissingLockFolderDoesNotStopTheProgram) {
  TempDir dir;
  EXPECT_TRUE(InstanceGuard::TryAcquire(dir.Path() + "no/such/folder"));
}

TEST(TraceLog, SwitchIsTheExactFirstArgument) {
  const char* on[] = {"prog", "TLog"};
  const char* lower[] = {"prog", "tlog"};
  const char* second[] = {"prog", "x", "TLog"};
  EXPECT_TRUE(TraceLog::IsSwitchArgument(2, on));
  EXPECT_FALSE(TraceLog::IsSwitchArgument(2, lower));
  EXPECT_FALSE(TraceLog::IsSwitchArgument(3, second));
  EXPECT_FALSE(TraceLog::IsSwitchArgument(1, on));
}

TEST(TraceLog, LinesAreKeptAndSavedOnlyWhileOn) {
  TempDir dir;
  DateTime now{2024, 3, 7, 14, 5, 9, 0};
  TraceLog log;
  log.Trace("ignored");
  EXPECT_EQ(log.SaveTrace(dir.Path(), now), "");
  EXPECT_TRUE(log.Lines().empty());

  log.SwitchOn();
  EXPECT_EQ(log.SaveTrace(dir.Path(), now), dir.Path() + "24-03-07_14-05-09.log");
  EXPECT_EQ(dir.Read("24-03-07_14-05-09.log"), "");  // on, nothing traced: an empty file
  log.Trace("Error: 0127617");
  log.Trace("Info: Del all!");
  log.SaveTrace(dir.Path(), now);
  EXPECT_EQ(dir.Read("24-03-07_14-05-09.log"), "Error: 0127617\r\nInfo: Del all!\r\n");
}

TEST(TraceLog, ScreenCaptureNames) {
  DateTime now{2024, 3, 7, 14, 5, 9, 0};
  EXPECT_EQ(ScreenCaptureFileName("/l/", now, ""), "/l/ScreenLog/24-03-07_14-05-09-.Jpg");
  EXPECT_EQ(ScreenCaptureFileName("/l/", now, "0123456789012345678901234567890123"),
            "/l/ScreenLog/24-03-07_14-05-09-012345678901234567890123456789.Jpg");
  EXPECT_EQ(ScreenCaptureFileName("/l/", now, "../../etc/x"),
            "/l/ScreenLog/24-03-07_14-05-09-.._.._etc_x.Jpg");
}

}  // namespace
}  // namespace quillo
