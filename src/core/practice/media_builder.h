// The writer of media libraries, for authors: a folder tree becomes a data file ".IBL" and its
// index ".Iid" that LookupEntry and FetchMedia read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

// One entry to store: its path inside the library ("\"-separated, Windows-1252) and its bytes.
struct MediaSourceEntry {
  std::string path;
  std::string bytes;
};

struct BuiltMediaLibrary {
  std::string data;   // the ".IBL"
  std::string index;  // the ".Iid"
  int entries = 0;
  int folders = 0;
  bool scrambled = false;
};

// Longest index line, without its CR LF.
inline constexpr std::size_t kMaxIndexLine = 248;

// Builds a library. The index lists the folders in byte order (so a folder comes before every
// longer folder it is the beginning of), an empty line, then each folder's entries in byte order
// followed by an empty line. Sounds are stored through the byte transform, and with scramble also
// texts and pictures, while every index line is scrambled with the index key.
// Throws Error for an empty or duplicate path, a path with surrounding spaces, "¦" or a control
// character, and a path too long for an index line.
BuiltMediaLibrary BuildMediaLibrary(std::vector<MediaSourceEntry> entries, bool scramble);

// Every file below folder (names starting with "." and their folders left out), with its path
// relative to folder. Throws Error when folder is missing or a file cannot be read.
std::vector<MediaSourceEntry> CollectMediaFolder(std::string_view folder);

// libraryPath + ".IBL" and + ".Iid" (an extension ".IBL" or ".Iid" given with libraryPath is
// dropped first), each written atomically, the folder created when missing.
std::string LibraryBasePath(std::string_view libraryPath);
void WriteMediaLibrary(std::string_view libraryPath, const BuiltMediaLibrary& library);

}  // namespace quillo
