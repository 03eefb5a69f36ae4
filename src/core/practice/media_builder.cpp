#include "practice/media_builder.h"

#include <algorithm>
#include <map>

#include "books/scramble.h"
#include "engine/text_toolkit.h"
#include "practice/media_library.h"
#include "shell/codec.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

constexpr char kSep[] = "\xA6";

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void CheckPath(const std::string& path) {
  if (path.empty()) throw Error("A media entry needs a path");
  if (Trim(path) != path) throw Error("A media entry path has spaces around it: \"" + path + "\"");
  for (char ch : path) {
    if (ch == '\xA6' || static_cast<unsigned char>(ch) < 0x20) {
      throw Error("A media entry path holds \"\xA6\" or a control character: " + path);
    }
  }
}

std::string Digits(int64_t n) { return std::to_string(n); }

}  // namespace

BuiltMediaLibrary BuildMediaLibrary(std::vector<MediaSourceEntry> entries, bool scramble) {
  BuiltMediaLibrary out;
  out.scrambled = scramble;
  std::map<std::string, std::vector<const MediaSourceEntry*>> folders;  // byte order
  std::sort(entries.begin(), entries.end(),
            [](const MediaSourceEntry& a, const MediaSourceEntry& b) { return a.path < b.path; });
  for (std::size_t i = 0; i < entries.size(); ++i) {
    CheckPath(entries[i].path);
    if (i > 0 && entries[i].path == entries[i - 1].path) {
      throw Error("Two media entries have the path " + entries[i].path);
    }
    folders[FolderOf(entries[i].path)].push_back(&entries[i]);
  }

  // The data file and each entry's place in it, folder by folder.
  struct Placed {
    const MediaSourceEntry* entry;
    int64_t position;
  };
  std::vector<std::vector<Placed>> placed;
  for (const auto& [folder, list] : folders) {
    placed.emplace_back();
    for (const MediaSourceEntry* e : list) {
      placed.back().push_back({e, static_cast<int64_t>(out.data.size())});
      const std::size_t at = out.data.size();
      out.data += e->bytes;
      if (StoredTransformed(ParseMediaReference(";" + e->path).kind, scramble)) {
        ByteTransformInPlace(out.data.data() + at, e->bytes.size());
      }
    }
  }

  // The index: the lengths of the lines depend on the positions they hold, so the positions are
  // worked out again until they no longer change.
  const std::string mark = scramble ? "#S" : "#R";
  std::string pad;
  std::vector<std::string> lines;
  std::vector<int64_t> listAt(folders.size(), 0);
  int64_t tableAt = 0;
  for (int round = 0;; ++round) {
    lines.clear();
    lines.push_back(mark + kSep + Digits(tableAt) + kSep + "Tremsol media" + pad + kSep);
    std::size_t f = 0;
    for (const auto& entry : folders) {
      lines.push_back(entry.first + kSep + Digits(listAt[f++]) + kSep);
    }
    lines.emplace_back();
    std::vector<std::size_t> listLine;  // index of each folder's first entry line
    for (const std::vector<Placed>& list : placed) {
      listLine.push_back(lines.size());
      for (const Placed& p : list) {
        lines.push_back(p.entry->path + kSep + kSep + Digits(p.position) + kSep +
                        Digits(static_cast<int64_t>(p.entry->bytes.size())) + kSep);
      }
      lines.emplace_back();
    }
    std::vector<int64_t> start(lines.size() + 1, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      start[i + 1] = start[i] + static_cast<int64_t>(lines[i].size()) + 2;
    }
    bool stable = tableAt == start[1];
    tableAt = start[1];
    for (std::size_t k = 0; k < listLine.size(); ++k) {
      stable = stable && listAt[k] == start[listLine[k]];
      listAt[k] = start[listLine[k]];
    }
    if (!stable) continue;
    if (scramble) {
      // A scrambled header must not happen to read as the plain mark.
      const std::string raw = ScrambleLine(lines[0], true, MediaIndexKeyDigits());
      if (raw.find("#R" + std::string(kSep)) != std::string::npos) {
        pad += ' ';
        continue;
      }
    }
    if (round > 100) throw Error("The media index does not settle");
    break;
  }

  const std::string key = scramble ? MediaIndexKeyDigits() : "";
  for (const std::string& line : lines) {
    if (line.size() > kMaxIndexLine) {
      throw Error("A media entry path is too long for the index (a line of " +
                  std::to_string(line.size()) + " bytes; at most " + std::to_string(kMaxIndexLine) +
                  "): " + GetField(line, kSep, 1));
    }
    out.index += ScrambleLine(line, scramble, key);
    out.index += "\r\n";
  }
  out.entries = static_cast<int>(entries.size());
  out.folders = static_cast<int>(folders.size());
  return out;
}

std::vector<MediaSourceEntry> CollectMediaFolder(std::string_view folder) {
  if (!FolderExists(folder)) throw Error("No folder " + std::string(folder));
  std::string base = ResolveCase(folder);
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  base += '/';
  std::vector<std::string> files;
  ListFolder(folder, "*", files, true, true, true);
  std::vector<MediaSourceEntry> entries;
  for (const std::string& file : files) {
    if (file.compare(0, base.size(), base) != 0) continue;
    std::string relative = file.substr(base.size());
    if (relative.empty() || relative[0] == '.' || relative.find("/.") != std::string::npos) {
      continue;
    }
    MediaSourceEntry e;
    e.path = ReplaceAll(relative, "/", "\\");
    if (!ReadWholeFile(file, e.bytes)) throw Error("Cannot read " + file);
    entries.push_back(std::move(e));
  }
  return entries;
}

std::string LibraryBasePath(std::string_view libraryPath) {
  std::string base(libraryPath);
  const std::string upper = UpperCase1252(FileNameOf(base));
  if (upper.size() > 4 && (upper.compare(upper.size() - 4, 4, ".IBL") == 0 ||
                           upper.compare(upper.size() - 4, 4, ".IID") == 0)) {
    base.resize(base.size() - 4);
  }
  return base;
}

void WriteMediaLibrary(std::string_view libraryPath, const BuiltMediaLibrary& library) {
  const std::string base = LibraryBasePath(libraryPath);
  const std::string folder = GetFolderPart(base);
  if (!folder.empty()) EnsureFolder(folder);
  WriteFileAtomic(base + ".IBL", library.data);
  WriteFileAtomic(base + ".Iid", library.index);
}

}  // namespace quillo
