#include "engine/line_symbols.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

#include "shell/data_folders.h"
#include "shell/file_utils.h"
#include "shell/seams.h"

namespace quillo {

namespace {

constexpr std::string_view kContinuation = "       :";
constexpr std::size_t kNameColumns = 7;
constexpr std::size_t kFirstPointColumn = 65;
constexpr std::size_t kCell = 8;

std::string TrimSpaces(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  std::size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

// The integer in the three characters from the 1-based column; nothing when they hold none.
std::optional<int> NumberAt(std::string_view record, std::size_t column) {
  if (column - 1 >= record.size()) return std::nullopt;
  std::string field = TrimSpaces(record.substr(column - 1, 3));
  if (field.empty()) return std::nullopt;
  int value = 0;
  std::size_t i = 0;
  bool negative = false;
  if (field[0] == '-' || field[0] == '+') {
    negative = field[0] == '-';
    i = 1;
  }
  if (i == field.size()) return std::nullopt;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return std::nullopt;
    value = value * 10 + (field[i] - '0');
  }
  return negative ? -value : value;
}

int FieldAt(std::string_view record, std::size_t column) {
  return NumberAt(record, column).value_or(0);
}

std::string NameOf(std::string_view record) {
  return TrimSpaces(record.substr(0, std::min(record.size(), kNameColumns)));
}

}  // namespace

std::string SymbolFilePath(const DataFolders& folders) {
  return folders.programSettingsDir + kSymbolFileName;
}

std::vector<std::string> LoadSymbolFile(std::string_view path, MessageBox& msgBox,
                                        BusyIndicator* busy) {
  std::vector<std::string> records;
  if (!FileExists(path)) {
    msgBox.Warn("", kMissingDataFileMessage + std::string(path));
    return records;
  }
  if (busy) busy->SetBusy(true);
  std::string content;
  if (ReadWholeFile(path, content)) {
    std::size_t start = 0;
    bool first = true;
    while (start < content.size()) {
      std::size_t end = content.find('\n', start);
      if (end == std::string::npos) end = content.size();
      std::string_view line(content.data() + start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      start = end + 1;
      if (!first && line.substr(0, kContinuation.size()) == kContinuation) {
        // The record is padded to its next whole cell first, so that trailing spaces an editor
        // removed do not shift the continued points.
        std::string& record = records.back();
        const std::size_t points = kFirstPointColumn - 1;
        if (record.size() < points) {
          record.resize(points, ' ');
        } else if ((record.size() - points) % kCell != 0) {
          record.resize(record.size() + kCell - (record.size() - points) % kCell, ' ');
        }
        if (line.size() > kCell) record.append(line.substr(kCell));
      } else {
        records.emplace_back(line);
      }
      first = false;
    }
  }
  if (busy) busy->SetBusy(false);
  return records;
}

std::string FindSymbolIn(const std::vector<std::string>& records, std::string_view name) {
  std::string wanted = TrimSpaces(name);
  for (const std::string& record : records) {
    if (NameOf(record) == wanted) return record;
  }
  return "";
}

std::string FindSymbol(std::string_view name, std::string_view path, MessageBox& msgBox,
                       BusyIndicator* busy) {
  return FindSymbolIn(LoadSymbolFile(path, msgBox, busy), name);
}

SymbolHeader ReadSymbolHeader(std::string_view record) {
  SymbolHeader h;
  h.name = NameOf(record);
  h.xMin = FieldAt(record, 9);
  h.xMax = FieldAt(record, 13);
  h.yMin = FieldAt(record, 17);
  h.yMax = FieldAt(record, 21);
  h.columnOffset = FieldAt(record, 25);
  h.rowOffset = FieldAt(record, 29);
  h.factor = FieldAt(record, 33);
  h.angle = FieldAt(record, 37);
  h.extraWidth = FieldAt(record, 41);
  h.extraHeight = FieldAt(record, 45);
  return h;
}

std::string SetSymbolScales(std::string_view record, int columnOffset, int rowOffset,
                            int factor) {
  std::string out(record);
  if (out.size() < 35) out.resize(35, ' ');
  auto put = [&out](std::size_t column, int value) {
    char field[8];
    std::snprintf(field, sizeof field, "%3d", std::clamp(value, -99, 999));
    out.replace(column - 1, 3, field, 3);
  };
  put(25, columnOffset);
  put(29, rowOffset);
  put(33, factor);
  return out;
}

SymbolPlan PlanSymbol(std::string_view record, int pointLimit) {
  SymbolPlan plan;
  SymbolHeader h = ReadSymbolHeader(record);
  const long long sx = static_cast<long long>(h.factor) - h.columnOffset;
  const long long sy = static_cast<long long>(h.factor) - h.rowOffset;
  long long width = (static_cast<long long>(h.xMax) - h.xMin) * sx;
  long long height = (static_cast<long long>(h.yMax) - h.yMin) * sy;
  const long long cx = width / 2;
  const long long cy = height / 2;
  width += h.extraWidth;
  height += h.extraHeight;
  if (width <= 0 || height <= 0 || width > kMaxSymbolSide || height > kMaxSymbolSide) return plan;
  plan.width = static_cast<int>(width);
  plan.height = static_cast<int>(height);

  const double theta = -h.angle * std::numbers::pi / 180.0;
  const double cosT = std::cos(theta);
  const double sinT = std::sin(theta);
  bool penDown = false;
  long long read = 0;
  for (std::size_t column = kFirstPointColumn; column <= record.size(); column += kCell) {
    if (read > static_cast<long long>(pointLimit)) break;
    std::optional<int> x = NumberAt(record, column);
    std::optional<int> y = NumberAt(record, column + 4);
    if (!x || !y) break;
    ++read;
    if (*x == kPenUp || *y == kPenUp) {
      penDown = false;
      continue;
    }
    const long long rx = std::lrint(*x * cosT - *y * sinT);
    const long long ry = std::lrint(*x * sinT + *y * cosT);
    const long long px = std::clamp<long long>(cx + sx * rx, -kMaxSymbolSide, 2 * kMaxSymbolSide);
    const long long py = std::clamp<long long>(cy + sy * ry, -kMaxSymbolSide, 2 * kMaxSymbolSide);
    SymbolPoint point{static_cast<int>(px), static_cast<int>(py)};
    if (!penDown) {
      plan.strokes.push_back({point});
      penDown = true;
    } else {
      plan.strokes.back().push_back(point);
    }
  }
  return plan;
}

}  // namespace quillo
