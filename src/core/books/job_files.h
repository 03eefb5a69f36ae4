// Job files (".JOB"): a user's saved selection of titles from one book. Line 1 is the job header
// (path, book title, level name, book header), then one title record per line; every line is
// scrambled exactly when the book's lines are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "books/book_files.h"

namespace quillo {

class TraceLog;

struct JobHeader {
  std::string Path;        // field 1: the job's own path when it was written (not relied on)
  std::string BookTitle;   // field 2
  std::string LevelName;   // field 3
  std::string BookHeader;  // field 4: the version stamp of the book it was made from
};

struct JobContent {
  JobHeader header;
  std::vector<TdBaseJob> records;  // all Checked: every title of a saved job takes part
};

// Reads a job with the scramble flag of its book, line by line through a 4025-byte window. The
// records end at the first line with fewer than 11 "¦". A header without book title or level
// name leaves it empty and traces "Error:Book Name not fund. 6754021 in " or
// "Error:Level Name not fund. 6754022 in " followed by the path. A missing file reads as empty.
JobContent ReadJob(std::string_view path, bool scrambled, std::string_view keyDigits,
                   TraceLog& trace);

// Writes the header and the records (11 fields each followed by "¦"), each line scrambled with
// the flag and ended by CR LF, atomically, creating the folder when missing. Throws Error when a
// field holds "¦" or a line break, or a line would be longer than 4023 bytes (it could not be
// read back), and when the file cannot be written.
void WriteJob(std::string_view path, const JobHeader& header, const std::vector<TdBaseJob>& records,
              bool scrambled, std::string_view keyDigits);

}  // namespace quillo
