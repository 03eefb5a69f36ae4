// The line-symbol file "PsLigSym.DAT": symbols (root signs, brackets, exponent digits) stored as
// lists of points joined by straight strokes, and the geometry of drawing one scaled and
// rotated onto its own picture.
//
// A record is a sequence of 8-column cells: name (columns 1-7), then x minimum, x maximum,
// y minimum, y maximum, column offset, row offset, factor, rotation angle in degrees, extra
// width, extra height (three characters each, in columns 9, 13, ... 45), two cells not read,
// and from column 65 one point per cell (x in the cell's columns 1-3, y in 5-7; -64 in either
// lifts the pen). A line beginning with seven spaces and ":" continues the record before it
// with its text from column 9 on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class MessageBox;
class BusyIndicator;
struct DataFolders;

inline constexpr const char* kSymbolFileName = "PsLigSym.DAT";
// The message of a missing symbol file; the path follows it.
inline constexpr const char* kMissingDataFileMessage = "Cannot find data file.. ";
// The x or y value that lifts the pen.
inline constexpr int kPenUp = -64;
// The point limit the drawn expressions pass.
inline constexpr int kExpressionPointLimit = 200;

// Where the program reads the symbol file: beside the installed settings files.
std::string SymbolFilePath(const DataFolders& folders);

// The records of the file, continuation lines joined. A missing file shows
// "Cannot find data file.. " + path and gives no records. The busy indicator, when given, is on
// while the file loads.
std::vector<std::string> LoadSymbolFile(std::string_view path, MessageBox& msgBox,
                                        BusyIndicator* busy = nullptr);

// The first record whose name (columns 1-7, trimmed) equals the trimmed name; empty when there
// is none. The file is read anew on every call.
std::string FindSymbol(std::string_view name, std::string_view path, MessageBox& msgBox,
                       BusyIndicator* busy = nullptr);
std::string FindSymbolIn(const std::vector<std::string>& records, std::string_view name);

struct SymbolHeader {
  std::string name;
  int xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  int columnOffset = 0, rowOffset = 0, factor = 0;
  int angle = 0;
  int extraWidth = 0, extraHeight = 0;
};

// The header fields of a record; a field that is missing or not a number reads as 0.
SymbolHeader ReadSymbolHeader(std::string_view record);

// The record with its column offset, row offset and factor (columns 25-27, 29-31, 33-35)
// replaced, each right-aligned in three characters (values limited to -99..999 so they fit).
// A short record is padded with spaces first.
std::string SetSymbolScales(std::string_view record, int columnOffset, int rowOffset, int factor);

struct SymbolPoint {
  int x = 0;
  int y = 0;
  bool operator==(const SymbolPoint&) const = default;
};

// What drawing a record produces: the picture size and the strokes, each a list of pixels
// joined by smooth lines. Scales sx = factor - column offset, sy = factor - row offset; the
// picture is (x max - x min) * sx by (y max - y min) * sy plus the extra size, the centre being
// half the size before the extra is added; a point (x, y) turned by -angle degrees to (X, Y)
// lands on (centre x + sx * X, centre y + sy * Y). At most pointLimit + 1 point cells are read.
// A picture with no area, or with a side over kMaxSymbolSide, draws nothing.
inline constexpr int kMaxSymbolSide = 4096;
struct SymbolPlan {
  int width = 0;
  int height = 0;
  std::vector<std::vector<SymbolPoint>> strokes;
};
SymbolPlan PlanSymbol(std::string_view record, int pointLimit);

}  // namespace quillo
