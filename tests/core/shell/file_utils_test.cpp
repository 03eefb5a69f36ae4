#include "shell/file_utils.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "shell/error.h"
#include "shell/seams.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

using test::TempDir;

TEST(FileUtils, ExistingNamesAreFoundWhateverTheirLetterCase) {
  TempDir dir;
  dir.Write("Users/Anna/Result.QsR", "x");
  EXPECT_EQ(ResolveCase(dir.Path() + "users/ANNA/result.qsr"), dir.Path() + "Users/Anna/Result.QsR");
  EXPECT_TRUE(FileExists(dir.Path() + "USERS/anna/RESULT.QSR"));
  EXPECT_TRUE(FolderExists(dir.Path() + "users/anna/"));
  // A new name keeps its own spelling inside the resolved folder.
  EXPECT_EQ(ResolveCase(dir.Path() + "users/anna/New.txt"), dir.Path() + "Users/Anna/New.txt");
  EXPECT_FALSE(FileExists(dir.Path() + "users/anna"));
}

TEST(FileUtils, NonAsciiNamesCrossTheFileSystemAsUtf8) {
  TempDir dir;
  std::string name = dir.Path() + "\xC9l\xE8ve.txt";
  ASSERT_TRUE(AppendLine(name, "caf\xE9", true));
  EXPECT_TRUE(FileExists(dir.Path() + "\xE9L\xC8VE.TXT"));
  EXPECT_EQ(ReadLine(name, 1), "caf\xE9");
  std::vector<std::string> list;
  ListFolder(dir.Path(), "*.txt", list, true, true, false);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], name);
}

TEST(FileUtils, MasksIgnoreLetterCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"x.qsr", "*.QsR", true}, {"a.QST", "*.qst", true}, {"a.QST", "*.STP", false},
      {"abc", "a?c", true},     {"abc", "a?", false},     {"Statistic.f01", "*", true},
      {"a.b.c", "*.c", true},   {"", "*", true},          {"ab", "*b*", true},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << c.mask;
}

TEST(FileUtils, EnsureFolderCreatesParentsOrFailsWithItsError) {
  TempDir dir;
  EXPECT_TRUE(EnsureFolder(dir.Path() + "a/b/c/"));
  EXPECT_TRUE(FolderExists(dir.Path() + "a/b/c"));
  EXPECT_TRUE(EnsureFolder(dir.Path() + "A/B/"));  // existing, other letter case
  dir.Write("file", "x");
  std::string blocked = dir.Path() + "file/sub/";
  try {
    EnsureFolder(blocked);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Error 987238:" + blocked + " !");
  }
}

TEST(FileUtils, ListFolder) {
  TempDir dir;
  dir.Write("top/a.txt", "");
  dir.Write("top/b.dat", "");
  dir.Write("top/s1/c.txt", "");
  dir.Write("top/s1/deep/d.txt", "");
  dir.Write("top/s2/e.txt", "");
  EnsureFolder(dir.Path() + "top/s3/");
  std::string top = dir.Path() + "top";

  std::vector<std::string> list;
  ListFolder(top + "/", "*", list, false, false, false);
  EXPECT_EQ(list, std::vector<std::string>{top + "/s1"});  // "all" false stops at one entry

  list.clear();
  ListFolder(top, "*", list, true, false, true);  // every folder, parents first
  EXPECT_EQ(list, (std::vector<std::string>{top + "/s1", top + "/s1/deep", top + "/s2",
                                            top + "/s3"}));

  list.clear();
  ListFolder(top, "*.TXT", list, true, true, true);
  EXPECT_EQ(list, (std::vector<std::string>{top + "/a.txt", top + "/s1/c.txt",
                                            top + "/s1/deep/d.txt", top + "/s2/e.txt"}));

  list.clear();
  ListFolder(dir.Path() + "missing", "*", list, true, true, true);
  EXPECT_TRUE(list.empty());
}

TEST(FileUtils, DeleteTreeRemovesMatchesAndEmptiedFolders) {
  TempDir dir;
  dir.Write("t/a.QsR", "");
  dir.Write("t/keep.txt", "");
  dir.Write("t/sub/b.qsr", "");
  dir.Write("t/sub/c.txt", "");
  SetReadOnly(dir.Path() + "t/a.QsR", true);
  DeleteTree(dir.Path() + "t/", "*.qsr", false);
  EXPECT_FALSE(FileExists(dir.Path() + "t/a.QsR"));
  EXPECT_TRUE(FileExists(dir.Path() + "t/keep.txt"));
  EXPECT_TRUE(FileExists(dir.Path() + "t/sub/b.qsr"));

  DeleteTree(dir.Path() + "t/", "*", true);
  EXPECT_FALSE(FolderExists(dir.Path() + "t/sub"));
  EXPECT_FALSE(FileExists(dir.Path() + "t/keep.txt"));
}

TEST(FileUtils, DeleteTreeNeverFollowsALinkOutOfTheTree) {
  TempDir dir;
  dir.Write("outside/precious.txt", "keep me");
  EnsureFolder(dir.Path() + "tree/");
  ASSERT_EQ(::symlink((dir.Path() + "outside").c_str(), (dir.Path() + "tree/link").c_str()), 0);
  DeleteTree(dir.Path() + "tree/", "*", true);
  EXPECT_EQ(dir.Read("outside/precious.txt"), "keep me");
}

TEST(FileUtils, SmallFileOperations) {
  TempDir dir;
  std::string p = dir.Path() + "f.txt";
  EXPECT_EQ(FileSizeOf(p), -1);
  EXPECT_FALSE(FileDate(p).has_value());
  EXPECT_TRUE(CreateEmptyFile(p));
  EXPECT_FALSE(CreateEmptyFile(p));
  EXPECT_EQ(FileSizeOf(p), 0);
  EXPECT_TRUE(FileDate(p).has_value());
  EXPECT_EQ(BaseName("/x/y/name.ext.QsR"), "name.ext");
  EXPECT_EQ(BaseName("/x/noext"), "noext");
  dir.Write("src.txt", "content");
  EXPECT_TRUE(CopyFileOver(dir.Path() + "src.txt", p));
  EXPECT_EQ(dir.Read("f.txt"), "content");
  EXPECT_FALSE(CopyFileOver(dir.Path() + "none.txt", p));
  EXPECT_EQ(dir.Read("f.txt"), "content");  // a failed copy leaves the target alone
}

TEST(FileUtils, NextFreeName) {
  TempDir dir;
  std::string a = dir.Path() + "a.txt";
  EXPECT_EQ(NextFreeName(a, "_", 2), a);
  dir.Write("a.txt", "");
  dir.Write("a_01.txt", "");
  EXPECT_EQ(NextFreeName(a, "_", 2), dir.Path() + "a_02.txt");
  EXPECT_EQ(NextFreeName(a, " #", 1), dir.Path() + "a #1.txt");
  dir.Write("noext", "");
  EXPECT_EQ(NextFreeName(dir.Path() + "noext", "-", 3), dir.Path() + "noext-001");
}

TEST(FileUtils, NewestOrOldest) {
  TempDir dir;
  dir.Write("old", "");
  dir.Write("new", "");
  dir.Write("mid", "");
  auto touch = [&](const char* name, time_t t) {
    struct timespec ts[2] = {{t, 0}, {t, 0}};
    ::utimensat(AT_FDCWD, (dir.Path() + name).c_str(), ts, 0);
  };
  touch("old", 1000000);
  touch("mid", 2000000);
  touch("new", 3000000);
  std::vector<std::string> names = {"mid", "new", "old"};
  EXPECT_EQ(NewestOrOldest(1, dir.Path(), names), dir.Path() + "new");
  EXPECT_EQ(NewestOrOldest(0, dir.Path(), names), dir.Path() + "old");
}

TEST(FileUtils, ListFilesCheckedDeletesOverlongPaths) {
  TempDir dir;
  ScriptedMessageBox box;
  // A deep folder, so that a file name of ordinary length makes a 361-character path.
  std::string sub = "f/" + std::string(200, 'd') + "/";
  std::string folder = dir.Path() + sub;
  EnsureFolder(folder);
  std::string longName(361 - folder.size(), 'n');
  std::string longPath = dir.Write(sub + longName, "");
  ASSERT_EQ(longPath.size(), 361u);
  ASSERT_TRUE(FileExists(longPath));
  std::string shortName(360 - folder.size(), 's');
  dir.Write(sub + shortName, "");
  std::vector<std::string> list;
  ListFilesChecked(folder, "*", list, box);
  EXPECT_EQ(list, std::vector<std::string>{shortName});
  EXPECT_FALSE(FileExists(longPath));
  ASSERT_EQ(box.Shown().size(), 1u);
  EXPECT_EQ(box.Shown()[0].line1,
            "Error:u23744 [File to long] [360]..is now deleted for file\n" + longPath);
}

TEST(FileUtils, LineReaders) {
  TempDir dir;
  std::string p = dir.Write("l.txt", "one\r\ntwo\r\n");
  EXPECT_EQ(ReadLine(p, 1), "one");
  EXPECT_EQ(ReadLine(p, 2), "two");
  EXPECT_EQ(ReadLine(p, 3), "");
  EXPECT_EQ(ReadLines(p, 1, 5), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(ReadLine(dir.Write("single", "only"), 1), "only");
  EXPECT_EQ(ReadLastLine(dir.Write("last", "a\r\nlast line\r\n\r\n\r\n")), "last line");
  EXPECT_EQ(ReadLastLine(dir.Write("one", "x")), "x");
  EXPECT_EQ(ReadLastLine(dir.Path() + "missing"), "");
  EXPECT_FALSE(FileExists(dir.Path() + "missing"));

  // Reading a missing file creates it empty.
  std::string created = dir.Path() + "created.txt";
  EXPECT_EQ(ReadLine(created, 1), "");
  EXPECT_TRUE(FileExists(created));
}

TEST(FileUtils, LinesLongerThanTheBlockComeInPieces) {
  TempDir dir;
  std::string longLine(kLineBlock * 2 + 10, 'x');
  std::string p = dir.Write("long.txt", longLine + "\r\nnext");
  std::vector<std::string> lines = ReadLines(p, 1, 10);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].size(), kLineBlock);
  EXPECT_EQ(lines[2].size(), 10u);
  EXPECT_EQ(lines[3], "next");
  EXPECT_EQ(SplitLines(std::string(kLineBlock, 'y')).size(), 1u);
  EXPECT_EQ(SplitLines("a\rb\nc\r\n\r\nd"),
            (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

TEST(FileUtils, AppendLineNeverEndsTheFileWithABreak) {
  TempDir dir;
  std::string p = dir.Path() + "a.txt";
  EXPECT_TRUE(AppendLine(p, "first", false));
  EXPECT_TRUE(AppendLine(p, "second", false));
  EXPECT_EQ(dir.Read("a.txt"), "first\r\nsecond");
  EXPECT_TRUE(AppendLine(p, "fresh", true));
  EXPECT_EQ(dir.Read("a.txt"), "fresh");
  EXPECT_FALSE(AppendLine(dir.Path() + "no/such/folder/x.txt", "t", false));
}

TEST(FileUtils, AtomicWriteReplacesWholeOrNothing) {
  TempDir dir;
  std::string p = dir.Write("data.ini", "old");
  WriteFileAtomic(p, "new content");
  EXPECT_EQ(dir.Read("data.ini"), "new content");
  EXPECT_THROW(WriteFileAtomic(dir.Path() + "none/x", "y"), Error);
  // No temporary file is left behind.
  std::vector<std::string> list;
  ListFolder(dir.Path(), "*", list, true, true, false);
  EXPECT_EQ(list, std::vector<std::string>{p});
}

TEST(FileUtils, IsInsideRejectsEscapes) {
  struct Case {
    const char* path;
    bool inside;
  } cases[] = {
      {"/data/Tremsol/Users/a.QsR", true},   {"/data/tremsol/users/x", true},
      {"/data/Tremsol/../etc/passwd", false}, {"/data/Tremsol", false},
      {"relative/x", false},                  {"/data/TremsolX/y", false},
      {"/data/Tremsol/a/../../Tremsol/b", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInside(c.path, "/data/Tremsol/"), c.inside) << c.path;
}

TEST(FileUtils, SpecialFoldersFollowTheEnvironment) {
  TempDir dir;
  ::setenv("XDG_DATA_HOME", (dir.Path() + "xdg/").c_str(), 1);
  ::setenv("QUILLOMARK_PROGRAM_FILES", (dir.Path() + "pf").c_str(), 1);
  EXPECT_EQ(SpecialFolder(2), dir.Path() + "xdg");
  EXPECT_EQ(SpecialFolder(1), dir.Path() + "pf");
  EXPECT_EQ(SpecialFolder(3), "/usr/share");
  EXPECT_EQ(SpecialFolder(4), "");
  ::unsetenv("XDG_DATA_HOME");
  ::setenv("HOME", "/home/pupil", 1);
  EXPECT_EQ(SpecialFolder(2), "/home/pupil/.local/share");
  ::unsetenv("QUILLOMARK_PROGRAM_FILES");
}

TEST(FileUtils, SystemLanguageAndVersion) {
  struct Case {
    const char* lang;
    const char* name;
  } cases[] = {{"de_DE.UTF-8", "Deutsch"}, {"fr_CH", "Fran\xE7" "ais"}, {"en_GB", "English"},
               {"C", "English"}};
  ::unsetenv("LC_ALL");
  ::unsetenv("LC_MESSAGES");
  for (const auto& c : cases) {
    ::setenv("LANG", c.lang, 1);
    EXPECT_EQ(SystemLanguageName(), c.name);
  }
  EXPECT_EQ(ProgramVersion("/no/such/program"), "-1");
  TempDir dir;
  std::string version = ProgramVersion(dir.Write("prog", ""));
  EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 3);
}

}  // namespace
}  // namespace quillo
