#include "engine/line_symbols.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "shell/data_folders.h"
#include "shell/seams.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

class RecordingBusy : public BusyIndicator {
 public:
  void SetBusy(bool busy) override { calls.push_back(busy); }
  std::vector<bool> calls;
};

// A record line: name, the ten header fields, two unread cells, then the points.
std::string Record(const std::string& name, std::vector<int> header,
                   std::vector<std::pair<int, int>> points) {
  char buffer[16];
  std::string line = name;
  line.resize(8, ' ');
  for (int v : header) {
    std::snprintf(buffer, sizeof buffer, "%3d ", v);
    line += buffer;
  }
  line.resize(64, ' ');
  for (auto [x, y] : points) {
    std::snprintf(buffer, sizeof buffer, "%3d %3d ", x, y);
    line += buffer;
  }
  return line;
}

TEST(LoadSymbolFile, JoinsContinuationLinesAndFindsRecordsByName) {
  test::TempDir dir;
  const std::string first = Record("ab", {0, 7, 0, 14, 0, 0, 1, 0, 0, 0}, {{1, 2}});
  const std::string path = dir.Write(
      "PsLigSym.DAT",
      "*      a comment record\r\n" + first + "\r\n" +
          "       :  3   4 \r\n"
          "       :  5   6\r\n"
          "ab       9   9   9   9\r\n"  // a second record of that name is never found
          "  (      0   7   0  14\n"     // names are compared trimmed; LF alone ends a line
          "       :\r\n");              // a continuation with nothing after column 8
  ScriptedMessageBox box;
  RecordingBusy busy;
  std::vector<std::string> records = LoadSymbolFile(path, box, &busy);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[1], first + "  3   4   5   6");
  EXPECT_EQ(busy.calls, (std::vector<bool>{true, false}));

  EXPECT_EQ(FindSymbol("ab", path, box), records[1]);
  EXPECT_EQ(FindSymbol(" ( ", path, box), records[3]);
  EXPECT_EQ(FindSymbol("a", path, box), "");
  EXPECT_EQ(FindSymbolIn(records, "zz"), "");
  EXPECT_TRUE(box.Shown().empty());
}

TEST(LoadSymbolFile, ContinuedPointsStayInTheirCellsWhenTrailingSpacesWereRemoved) {
  test::TempDir dir;
  const std::string path = dir.Write(
      "PsLigSym.DAT",
      "a        0   7   0  14   0   0   1\r\n"      // header only, no unread cells
      "       :  1   2  -3  -4\r\n"                  // the last cell lost its trailing space
      "       :  5   6\r\n");
  ScriptedMessageBox box;
  SymbolPlan plan = PlanSymbol(FindSymbol("a", path, box), 200);
  ASSERT_EQ(plan.strokes.size(), 1u);
  EXPECT_EQ(plan.strokes[0], (std::vector<SymbolPoint>{{4, 9}, {0, 3}, {8, 13}}));
}

TEST(LoadSymbolFile, AMissingFileIsReportedForEverySymbolAskedFor) {
  test::TempDir dir;
  const std::string path = dir.Path() + "PsLigSym.DAT";
  ScriptedMessageBox box;
  EXPECT_TRUE(LoadSymbolFile(path, box).empty());
  EXPECT_EQ(FindSymbol("sqrt", path, box), "");
  EXPECT_EQ(FindSymbol("(", path, box), "");
  ASSERT_EQ(box.Shown().size(), 3u);
  for (const ShownMessage& m : box.Shown()) {
    EXPECT_EQ(m.line1, "Cannot find data file.. " + path);
  }
}

TEST(LoadSymbolFile, TheProgramReadsItBesideTheInstalledSettings) {
  DataFolders folders = MakeDataFolders("/home/u/.local/share", "/opt/q/share");
  EXPECT_EQ(SymbolFilePath(folders), "/opt/q/share/Tremsol/SetG/PsLigSym.DAT");
}

TEST(SymbolRecord, HeaderFieldsAndScalesLiveInFixedColumns) {
  const std::string record = Record("sqrt", {-3, 7, 0, 14, 5, 6, 1, 90, 2, -1}, {{1, 2}});
  SymbolHeader h = ReadSymbolHeader(record);
  EXPECT_EQ(h.name, "sqrt");
  EXPECT_EQ(h.xMin, -3);
  EXPECT_EQ(h.xMax, 7);
  EXPECT_EQ(h.yMin, 0);
  EXPECT_EQ(h.yMax, 14);
  EXPECT_EQ(h.columnOffset, 5);
  EXPECT_EQ(h.rowOffset, 6);
  EXPECT_EQ(h.factor, 1);
  EXPECT_EQ(h.angle, 90);
  EXPECT_EQ(h.extraWidth, 2);
  EXPECT_EQ(h.extraHeight, -1);

  const std::string scaled = SetSymbolScales(record, -2, 1, 1);
  EXPECT_EQ(scaled.substr(24, 11), " -2   1   1");
  EXPECT_EQ(scaled.substr(0, 24), record.substr(0, 24));
  EXPECT_EQ(scaled.substr(35), record.substr(35));
  // Values are kept within three characters; a short record is padded.
  EXPECT_EQ(SetSymbolScales(record, -5000, 1234, 0).substr(24, 11), "-99 999   0");
  EXPECT_EQ(SetSymbolScales("x", 0, 0, 1), "x" + std::string(23, ' ') + "  0   0   1");
  // Missing or damaged fields read as 0.
  SymbolHeader broken = ReadSymbolHeader("bad      7  x9");
  EXPECT_EQ(broken.xMin, 7);
  EXPECT_EQ(broken.xMax, 0);
  EXPECT_EQ(broken.yMax, 0);
}

TEST(PlanSymbol, ScalesAroundTheCentreAndLiftsThePen) {
  // 7 x 14 units, column scale 2 (factor 3 - 1), row scale 1, extra 1 x 2 pixels.
  const std::string record =
      Record("s", {0, 7, 0, 14, 1, 2, 3, 0, 1, 2}, {{-3, -7}, {3, -7}, {-64, 0}, {0, 0}, {0, 6}});
  SymbolPlan plan = PlanSymbol(record, 200);
  EXPECT_EQ(plan.width, 15);   // 7 x 2 + 1
  EXPECT_EQ(plan.height, 16);  // 14 x 1 + 2; the centre stays at (7, 7)
  ASSERT_EQ(plan.strokes.size(), 2u);
  EXPECT_EQ(plan.strokes[0], (std::vector<SymbolPoint>{{1, 0}, {13, 0}}));
  EXPECT_EQ(plan.strokes[1], (std::vector<SymbolPoint>{{7, 7}, {7, 13}}));

  // The point limit: at most limit + 1 point cells are read (the pen-up cell counts).
  EXPECT_EQ(PlanSymbol(record, 2).strokes.size(), 1u);
  EXPECT_EQ(PlanSymbol(record, 3).strokes.size(), 2u);
  EXPECT_EQ(PlanSymbol(record, 3).strokes[1].size(), 1u);
}

TEST(PlanSymbol, TurnsByTheAngle) {
  // A quarter turn: (x, y) becomes (y, -x).
  const std::string record = Record("r", {-5, 5, -5, 5, 0, 0, 1, 90, 0, 0}, {{3, 0}, {3, 2}});
  SymbolPlan plan = PlanSymbol(record, 200);
  ASSERT_EQ(plan.strokes.size(), 1u);
  EXPECT_EQ(plan.strokes[0], (std::vector<SymbolPoint>{{5, 2}, {7, 2}}));
  const std::string half = Record("h", {-5, 5, -5, 5, 0, 0, 1, 180, 0, 0}, {{3, 1}, {0, 0}});
  EXPECT_EQ(PlanSymbol(half, 200).strokes[0], (std::vector<SymbolPoint>{{2, 4}, {5, 5}}));
}

TEST(PlanSymbol, DrawsNothingWithoutArea) {
  const struct {
    std::vector<int> header;
  } cases[] = {
      {{0, 7, 0, 14, 1, 0, 1, 0, 0, 0}},      // column scale 0
      {{0, 7, 0, 14, 0, 2, 1, 0, 0, 0}},      // negative row scale
      {{0, 0, 0, 14, 0, 0, 1, 0, 0, 0}},      // no width
      {{0, 999, 0, 999, -99, -99, 1, 0, 0, 0}},  // far too large
  };
  for (const auto& c : cases) {
    SymbolPlan plan = PlanSymbol(Record("n", c.header, {{0, 0}, {1, 1}}), 200);
    EXPECT_EQ(plan.width * plan.height, 0);
    EXPECT_TRUE(plan.strokes.empty());
  }
  EXPECT_TRUE(PlanSymbol("", 200).strokes.empty());
}

TEST(InstalledSymbolFile, HoldsEverySymbolTheExpressionsDraw) {
  const std::string path = std::string(QUILLO_STAGE_DIR) + "/SetG/PsLigSym.DAT";
  ScriptedMessageBox box;
  std::vector<std::string> records = LoadSymbolFile(path, box);
  ASSERT_TRUE(box.Shown().empty());
  std::vector<std::string> names = {"sqrt", "sqrt1", "del", "(", ")", "[", "]"};
  for (char d = '0'; d <= '9'; ++d) names.push_back(std::string("^") + d);
  for (const std::string& name : names) {
    const std::string record = FindSymbolIn(records, name);
    ASSERT_FALSE(record.empty()) << name;
    // At the scales the expressions use, every point lies on its picture (a line's excluded
    // end point may touch the right or bottom edge).
    for (int scale : {1, 2, 3}) {
      SymbolPlan plan =
          PlanSymbol(SetSymbolScales(record, 0, 1 - scale, 1), kExpressionPointLimit);
      ASSERT_GT(plan.width, 0) << name;
      ASSERT_FALSE(plan.strokes.empty()) << name;
      for (const auto& stroke : plan.strokes) {
        for (SymbolPoint p : stroke) {
          EXPECT_TRUE(p.x >= 0 && p.x <= plan.width && p.y >= 0 && p.y <= plan.height)
              << name << " at scale " << scale << ": " << p.x << "," << p.y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quillo
