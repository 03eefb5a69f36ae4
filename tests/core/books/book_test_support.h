// Helpers of the book tests: the sample book source, a test key, building books into a
// temporary folder, and reading raw lines of a file.
#pragma once

#include <string>
#include <vector>

#include "books/book_builder.h"
#include "books/scramble.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo::test {

// The text with every "|" turned into the field separator "¦", for readable test lines.
inline std::string Bars(std::string text) {
  for (char& c : text) {
    if (c == '|') c = '\xA6';
  }
  return text;
}

inline std::string TestKey() { return KeyDigitsFromText("Keys for the book tests: 42!"); }

inline std::string SampleSource() {
  std::string text;
  ReadWholeFile(std::string(QUILLO_FIXTURES_DIR) + "/books/sample.book", text);
  return text;
}

// Builds the source into dir + name (with its ".EDX" when asked) and returns the book's path.
inline std::string BuildInto(const TempDir& dir, const std::string& name, const std::string& source,
                             bool scramble, bool edx = false) {
  BookBuildOptions options;
  options.scramble = scramble;
  BuiltBook built = BuildBook(source, name, TestKey(), options);
  std::string path = dir.Path() + name;
  WriteBuiltBook(path, built, edx);
  return path;
}

// The lines of a file split at CR LF only (the final CR LF adds no line).
inline std::vector<std::string> RawLines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find("\r\n", pos);
    if (end == std::string::npos) end = content.size();
    lines.push_back(content.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

}  // namespace quillo::test
