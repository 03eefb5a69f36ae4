// The book builder: turns a book source (UTF-8 text an author writes by hand, described in
// docs/book-format.md) into a book file with all its byte offsets and its companion offset
// index, and prints a book back as source.
#pragma once

#include <string>
#include <string_view>

#include "shell/error.h"

namespace quillo {

class TraceLog;

// An error in a book source; what() is "<file>:<line>: <message>".
class BookSourceError : public Error {
 public:
  BookSourceError(std::string file, int line, std::string message);
  const std::string& File() const { return file_; }
  int Line() const { return line_; }
  const std::string& Message() const { return message_; }

 private:
  std::string file_;
  int line_;
  std::string message_;
};

struct BookBuildOptions {
  bool scramble = false;  // scramble the book even when the source says "scramble: no"
};

struct BuiltBook {
  std::string idx;  // the book file (".IDX")
  std::string edx;  // its companion offset index (".EDX")
  bool scrambled = false;
  int levels = 0;
  int titles = 0;
};

// Builds a book from its source text. sourceName names the source in errors. Throws
// BookSourceError for every fault of the source (naming its line), and Error when a scrambled
// book is asked for without key digits.
BuiltBook BuildBook(std::string_view source, std::string_view sourceName,
                    std::string_view keyDigits, const BookBuildOptions& options = {});

// Writes the book to idxPath (atomically, creating the folder) and, with withEdx, its ".EDX"
// beside it; without, an ".EDX" left there by an earlier build is removed, since its offsets
// would no longer match. Throws Error when a file cannot be written.
void WriteBuiltBook(std::string_view idxPath, const BuiltBook& book, bool withEdx);

// Prints a book in the source format (UTF-8) by walking its index; building that text gives the
// same book again. Throws Error when the file cannot be read or has no level-section offset.
std::string DumpBook(std::string_view bookPath, std::string_view keyDigits, TraceLog& trace);

// The values a title gets when its source leaves them out: a quantity of 3, at most the number
// of exercise lines; a line count equal to the number of exercise lines, and for "G1" and "GD1"
// (where one drawn line makes every question) at least the quantity.
int DefaultQuantity(std::string_view spCode, int exerciseLines);
int DefaultLineCount(std::string_view spCode, int exerciseLines, int quantity);

}  // namespace quillo
